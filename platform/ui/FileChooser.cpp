// The file choosers of MsgBox.h: a scripted handler when one is installed, the toolkit's own
// file dialog otherwise.
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QRegularExpression>
#include <QTreeView>
#include <utility>

#include "MsgBox.h"

namespace tw::ui {
namespace {

FileDialogCallHandler& FileHandler() {
    static FileDialogCallHandler h;
    return h;
}

// The chooser's columns as the program's default locale writes them: the toolkit's file model
// writes dates in the machine's locale and calls a folder "Folder" whatever the locale.
class LocaleColumns : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role == Qt::DisplayRole && files) {
            const QModelIndex source = mapToSource(index);
            if (index.column() == kTypeColumn && files->isDir(source))
                return QStringLiteral("文件夹");
            if (index.column() == kDateColumn)
                return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        }
        return QIdentityProxyModel::data(index, role);
    }

  private:
    static constexpr int kTypeColumn = 2;
    static constexpr int kDateColumn = 3;
};

// The extension of the filter's first pattern ("数据库(*.mdb)" gives "mdb"), or "".
QString FilterSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([^;)\\s*?]+)"));
    return pattern.match(filter).captured(1);
}

// The path with ".suffix" added unless its file name already ends with it (in any case, as the
// choosers' filters match names): a name with dots of its own ("课表备份2024.9.1") gets it too,
// so the open chooser's filter lists the file.
QString WithFilterSuffix(const QString& path, const QString& suffix) {
    if (path.isEmpty() || suffix.isEmpty()) return path;
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive))
        return path;
    return path + QLatin1Char('.') + suffix;
}

// The toolkit's save chooser adds its default suffix only to a name without any dot; this one
// adds the filter's extension by the rule above before the chooser accepts the name, so the
// overwrite question, when asked, is about the name that will be written.
class SaveChooser : public QFileDialog {
  public:
    SaveChooser(const QString& title, const QString& dir, const QString& filter, QString suffix)
        : QFileDialog(nullptr, title, dir, filter), suffix_(std::move(suffix)) {}

    void accept() override {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && !QFileInfo(files.first()).isDir()) {
            const QString named = WithFilterSuffix(files.first(), suffix_);
            if (named != files.first()) selectFile(named);
        }
        QFileDialog::accept();
    }

  private:
    QString suffix_;
};

// The toolkit's own chooser (not the desktop's), in the detail view with its size, type and
// date columns wide enough for their texts.
void PrepareChooser(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setProxyModel(new LocaleColumns(&dialog));
    dialog.resize(qMax(dialog.sizeHint().width(), 760), qMax(dialog.sizeHint().height(), 460));
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = tree->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

QString RunChooser(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}

}  // namespace

QString GetOpenFileName(const QString& title, const QString& filter, const QString& dir) {
    if (FileHandler()) return FileHandler()({false, title, filter, dir});
    QFileDialog dialog(nullptr, title, dir, filter);
    PrepareChooser(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunChooser(dialog);
}

QString GetSaveFileName(const QString& title, const QString& filter, const QString& dir,
                        bool confirmOverwrite) {
    const QString suffix = FilterSuffix(filter);
    if (FileHandler()) return WithFilterSuffix(FileHandler()({true, title, filter, dir}), suffix);
    SaveChooser dialog(title, dir, filter, suffix);
    PrepareChooser(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    return WithFilterSuffix(RunChooser(dialog), suffix);
}

void SetFileDialogHandler(FileDialogHandler handler) {
    if (!handler) {
        FileHandler() = nullptr;
        return;
    }
    FileHandler() = [handler = std::move(handler)](const FileDialogCall& call) {
        return handler(call.save, call.title);
    };
}

void SetFileDialogCallHandler(FileDialogCallHandler handler) {
    FileHandler() = std::move(handler);
}

}  // namespace tw::ui
