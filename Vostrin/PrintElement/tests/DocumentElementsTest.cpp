// Document elements: a ".doc" file handed to the office program with an argument list (a
// stand-in "soffice" on PATH records its arguments), nothing printed without the program, and
// pages left open after "worddoc" and "prndoc" elements.
#include <QTemporaryDir>
#include <QTextStream>

#include "ElementPageTestSupport.h"
#include "PrintElement/Print.h"

using namespace printtest;

namespace {

// Sets PATH for the length of a test.
class SearchPath {
  public:
    explicit SearchPath(const QString& path) : old_(qgetenv("PATH")) {
        qputenv("PATH", path.toLocal8Bit());
    }
    ~SearchPath() { qputenv("PATH", old_); }

  private:
    QByteArray old_;
};

class DocumentElementsTest : public ElementPage {
  protected:
    void SetUp() override {
        ElementPage::SetUp();
        ASSERT_TRUE(dir.isValid());
        log = dir.filePath("args.txt");
        bin = dir.filePath("bin");
        QDir().mkpath(bin);
        QFile script(bin + "/soffice");
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + log +
                      "'\necho end >> '" + log + "'\n")
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The argument lists the stand-in program was called with, one per call.
    QList<QStringList> Calls() const {
        QFile f(log);
        QList<QStringList> calls;
        if (!f.open(QIODevice::ReadOnly)) return calls;
        QStringList args;
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
            if (line == "end") {
                calls << args;
                args.clear();
            } else if (!line.isEmpty()) {
                args << line;
            }
        }
        return calls;
    }

    QString Touch(const QString& name) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return f.fileName();
    }

    QTemporaryDir dir;
    QString log, bin;
};

}  // namespace

TEST_F(DocumentElementsTest, DocFileGoesToTheOfficeProgramAsOneArgument) {
    SearchPath path(bin);
    const QString doc = Touch(QString::fromUtf8("课表 'a'; rm x.doc"));
    Open();
    EXPECT_FALSE(Draw("<worddoc>" + Gbk(doc.toUtf8().constData()) + "</worddoc>"));
    Close();
    ASSERT_EQ(Calls().size(), 1);
    EXPECT_EQ(Calls()[0], (QStringList{"--headless", "--norestore", "--nologo", "-p", doc}));
}

TEST_F(DocumentElementsTest, OtherFilesOrNoOfficeProgramPrintNothing) {
    const QString upper = Touch("a.DOC");
    const QString docx = Touch("a.docx");
    const QString doc = Touch("a.doc");
    {
        SearchPath path(bin);
        Open();
        EXPECT_FALSE(Draw("<worddoc>" + upper.toStdString() + "</worddoc>"));
        EXPECT_FALSE(Draw("<worddoc>" + docx.toStdString() + "</worddoc>"));
        EXPECT_FALSE(Draw("<worddoc>" + dir.filePath("missing.doc").toStdString() + "</worddoc>"));
        EXPECT_FALSE(Draw("<worddoc value=\"" + doc.toStdString() + "\"/>"));  // not the content
        Close();
    }
    EXPECT_TRUE(Calls().isEmpty());
    SearchPath path(dir.filePath("empty"));
    Open();
    EXPECT_FALSE(Draw("<worddoc>" + doc.toStdString() + "</worddoc>"));
    Close();
    EXPECT_TRUE(Calls().isEmpty());
}

TEST_F(DocumentElementsTest, DocumentElementsDrawNothingAndAskToKeepThePageOpen) {
    SearchPath path(dir.filePath("empty"));
    Open();
    EXPECT_FALSE(Draw("<prndoc>x.prn</prndoc>"));
    EXPECT_FALSE(Draw("<prndoc/>"));
    EXPECT_FALSE(Draw("<worddoc/>"));
    EXPECT_TRUE(Draw(R"(<rect left="0" top="0" right="10" bottom="10" fillcolor="0,255,0"/>)"));
    const QImage page = Close();
    EXPECT_EQ(BoundsOf(page, QColor(0, 255, 0)), QRect(0, 0, 10, 10));
    EXPECT_TRUE(BoundsOf(page, Qt::black).isNull());
}
