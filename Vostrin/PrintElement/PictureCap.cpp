#include "PrintElement/PictureCap.h"

#include <QImageReader>

namespace TVostrin {

namespace {

// Qt's reader refuses images above an allocation limit of its own, which differs between Qt
// versions (128 MB in 6.4): while one file is read it is set to the cap here, and restored.
// The library runs on the host's one thread, which is the only user of the setting meanwhile.
class TReaderLimit {
  public:
    TReaderLimit() : previous_(QImageReader::allocationLimit()) {
        QImageReader::setAllocationLimit(static_cast<int>(kPictureCapBytes >> 20));
    }
    ~TReaderLimit() { QImageReader::setAllocationLimit(previous_); }
    TReaderLimit(const TReaderLimit&) = delete;
    TReaderLimit& operator=(const TReaderLimit&) = delete;

  private:
    int previous_;
};

}  // namespace

bool WithinPictureCap(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= kPictureCapBytes / 4 / height;
}

QImage ReadBitmapFile(const QString& path) {
    QImageReader reader(path, "BMP");
    const QSize size = reader.size();
    if (!WithinPictureCap(size.width(), size.height())) return QImage();
    const TReaderLimit limit;
    return reader.read();
}

}  // namespace TVostrin
