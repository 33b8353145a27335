// A picture made smaller while it is decoded: the decoder hands over the pixels row by row (or
// run by run), and each is added to the one output pixel whose area it falls in; an output
// pixel is the average of its area. Only the output and one row of sums are held, whatever size
// the source claims, and the work follows the pixels handed over. Pixels never handed over
// (those a run-length bitmap skips, or a file that ends early leaves out) count as the
// background colour.
#pragma once

#include <QImage>
#include <QSize>
#include <vector>

namespace TVostrin {

class TPictureScaler {
  public:
    // width x height: the source's size; out: the output's, no larger in either direction.
    // background: premultiplied. alpha: the output keeps transparency
    // (ARGB32_Premultiplied); otherwise it is RGB32.
    TPictureScaler(qint64 width, qint64 height, QSize out, QRgb background, bool alpha);
    // Whether the output could be had (Finish gives a null image otherwise).
    bool Ok() const { return !image_.isNull(); }

    // count premultiplied pixels of source row y from column x on. Rows come in order, upwards
    // or downwards; pixels outside the source are dropped.
    void AddPixels(qint64 y, qint64 x, const QRgb* pixels, qint64 count);
    // count pixels of one colour (premultiplied).
    void AddRun(qint64 y, qint64 x, QRgb color, qint64 count);
    // The same count pixels as rows first to end - 1 from column 0 on: the work follows the
    // output's rows, not the source's.
    void AddRows(qint64 first, qint64 end, const QRgb* pixels, qint64 count);
    // The output picture; the scaler is spent.
    QImage Finish();

  private:
    void ToRow(qint64 y);
    void Flush();
    int ColumnOf(qint64 x) const;
    void Add(size_t column, QRgb color, qint64 count);
    // Adds count pixels from column x on to the sums and counts of the output columns they
    // fall in.
    void SumColumns(qint64 x, const QRgb* pixels, qint64 count, quint64* sums,
                    qint64* counts) const;

    qint64 width_;
    qint64 height_;
    QSize out_;
    QRgb background_;
    QImage image_;
    std::vector<qint64> columnStart_;  // first source column of each output column, and the end
    std::vector<quint64> sums_;        // alpha, red, green, blue of each output column of the row
    std::vector<qint64> counts_;
    int row_ = -1;  // the output row being summed
};

}  // namespace TVostrin
