#include "frmLimitInput.h"

#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <exception>

#include "DataEntry.h"
#include "db/Database.h"
#include "shell/mdlPublic.h"
#include "ui/Combo.h"
#include "ui/WeekGrid.h"

using tw::db::SqlQ;
using tw::ui::MakeButton;
using tw::ui::PlaceTwips;

namespace {

struct Level {
    const char* cellText;
    const char* itemName;
    const char* itemCaption;
    unsigned int color;
};
const Level kLevels[] = {
    {"最佳位置", "mnuZuiJiaWeiZhi", "排课最佳位置", 0xFFFF80},
    {"正常", "mnuNormal", "正常", tw::ui::kVbWindowBackground},
    {"尽量不排", "mnuJinLiangBuPai", "尽量不排", 0xC0C0C0},
    {"不排", "mnuBuPai", "不排", 0x808080},
};
constexpr int kNormal = 1;

}  // namespace

QString frmLimitInput::LevelText(int attr) {
    if (attr < 0 || attr > 3) return QString();
    return QString::fromUtf8(kLevels[attr].cellText);
}

int frmLimitInput::LevelOfText(const QString& text) {
    for (int attr = 0; attr < 4; ++attr) {
        if (text == QString::fromUtf8(kLevels[attr].cellText)) return attr;
    }
    return -1;
}

QColor frmLimitInput::LevelColor(int attr) {
    if (attr < 0 || attr > 3) return QColor();
    return tw::ui::VbColor(kLevels[attr].color);
}

frmLimitInput::frmLimitInput(const Setup& setup, QWidget* parent)
    : tw::ui::DataForm(parent), setup_(setup) {
    setObjectName(QString::fromUtf8(setup.formName));
    setWindowTitle(QString::fromUtf8(setup.caption));
    setFont(tw::ui::FormFont(9));
    setFixedSize(tw::ui::TwipsToPixels(8540), tw::ui::TwipsToPixels(8040));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(Frame1, 120, 60, 8300, 800);
    Label = new QLabel(QString::fromUtf8(setup.labelCaption), Frame1);
    Label->setObjectName(QString::fromUtf8(setup.labelName));
    PlaceTwips(Label, 200, 330, 600, 300);
    Combo = new QComboBox(Frame1);
    Combo->setObjectName(QString::fromUtf8(setup.comboName));
    PlaceTwips(Combo, 850, 270, 2600, 360);
    Prev =
        MakeButton(QString::fromUtf8(setup.prevName), QString::fromUtf8(setup.prevCaption), Frame1);
    PlaceTwips(Prev, 3700, 240, 1800, 420);
    Next =
        MakeButton(QString::fromUtf8(setup.nextName), QString::fromUtf8(setup.nextCaption), Frame1);
    PlaceTwips(Next, 5700, 240, 1800, 420);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    PlaceTwips(Frame2, 120, 920, 8300, 6680);
    MSFlexGrid1 = new tw::ui::WeekGrid(Frame2);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MSFlexGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MSFlexGrid1->setGeometry(tw::ui::TwipsToPixels(140), tw::ui::TwipsToPixels(200),
                             tw::ui::TwipsToPixels(8000) + 4, tw::ui::TwipsToPixels(5700) + 4);
    cmdNormalAll =
        MakeButton(QStringLiteral("cmdNormalAll"), QStringLiteral("全部正常(&A)"), Frame2);
    PlaceTwips(cmdNormalAll, 4300, 6080, 1800, 420);
    cmdOK = MakeButton(QStringLiteral("cmdOK"), QStringLiteral("退出(&Q)"), Frame2);
    PlaceTwips(cmdOK, 6300, 6080, 1800, 420);

    MakeStatusBar(0, 7700, 8540, 340, {3000, 3600, 1900});

    PopMenu = new QMenu(QStringLiteral("PopMenu"), this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    QAction** items[] = {&mnuZuiJiaWeiZhi, &mnuNormal, &mnuJinLiangBuPai, &mnuBuPai};
    for (int attr = 0; attr < 4; ++attr) {
        QAction* action = PopMenu->addAction(QString::fromUtf8(kLevels[attr].itemCaption));
        action->setObjectName(QString::fromUtf8(kLevels[attr].itemName));
        *items[attr] = action;
    }

    connect(Combo, &QComboBox::activated, this, [this](int) { Combo_Click(); });
    connect(Prev, &QPushButton::clicked, this, &frmLimitInput::Prev_Click);
    connect(Next, &QPushButton::clicked, this, &frmLimitInput::Next_Click);
    connect(MSFlexGrid1, &tw::ui::WeekGrid::MouseUp, this, &frmLimitInput::MSFlexGrid1_MouseUp);
    connect(mnuZuiJiaWeiZhi, &QAction::triggered, this, &frmLimitInput::mnuZuiJiaWeiZhi_Click);
    connect(mnuNormal, &QAction::triggered, this, &frmLimitInput::mnuNormal_Click);
    connect(mnuJinLiangBuPai, &QAction::triggered, this, &frmLimitInput::mnuJinLiangBuPai_Click);
    connect(mnuBuPai, &QAction::triggered, this, &frmLimitInput::mnuBuPai_Click);
    connect(cmdNormalAll, &QPushButton::clicked, this, &frmLimitInput::cmdNormalAll_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmLimitInput::cmdOK_Click);

    Form_Load();
}

int frmLimitInput::GridLessons() const {
    return setup_.followsLessonOfDay && LessonOfDay == 7 ? 7 : 6;
}

QString frmLimitInput::KindText() const {
    return QString::number(setup_.kind);
}

void frmLimitInput::ShowStatus(const QString& text) {
    Panel(1)->setText(text);
}

void frmLimitInput::Form_Load() {
    try {
        FillLimitCombo();
        LoadLimits();
    } catch (const std::exception&) {
    }
}

void frmLimitInput::FillLimitCombo() {
    // After a failing read the names read so far stay and none is selected.
    if (FillNameCombos(QString::fromUtf8(setup_.masterSql), {Combo}) && Combo->count() > 0) {
        SelectName(0);
    }
}

void frmLimitInput::SelectName(int index) {
    tw::ui::SetComboIndex(Combo, index, [this] { Combo_Click(); });
}

void frmLimitInput::Combo_Click() {
    const QString name = Combo->currentText();
    currentCode_ = tw::ui::ComboCode(Combo);
    Panel(2)->setText(name + QStringLiteral("  限制特征"));
    LoadLimits();
}

void frmLimitInput::Prev_Click() {
    if (Combo->currentIndex() > 0) SelectName(Combo->currentIndex() - 1);
}

void frmLimitInput::Next_Click() {
    if (Combo->currentIndex() < Combo->count() - 1) SelectName(Combo->currentIndex() + 1);
}

void frmLimitInput::InitLimitGrid() {
    if (GridLessons() == 7) {
        MSFlexGrid1->LayOut(7, 500, 1500, 700, 700);
    } else {
        MSFlexGrid1->LayOut(6, 500, 1500, 800, 800);
    }
}

void frmLimitInput::PaintCell(int row, int column, int attr) {
    MSFlexGrid1->SetCellBackColor(row, column, LevelColor(attr));
    MSFlexGrid1->SetTextMatrix(row, column, LevelText(attr));
}

void frmLimitInput::LoadLimits() {
    try {
        auto rs = KbDb().OpenRecordset("select * from Limittb where kind=" + KindText() + " " +
                                       " and code='" + SqlQ(currentCode_) + "'");
        MSFlexGrid1->ClearCells();
        InitLimitGrid();
        const int lessons = GridLessons();
        if (setup_.followsLessonOfDay) {
            // Courses without rows show every slot normal on screen and store nothing.
            for (int lesson = 1; lesson <= lessons; ++lesson) {
                for (int day = 1; day <= 5; ++day) {
                    PaintCell(tw::ui::WeekGridRowOfLesson(lesson), day, kNormal);
                }
            }
        } else if (rs->Eof() && !currentCode_.isEmpty()) {
            cmdNormalAll_Click();
        }
        while (!rs->Eof()) {
            const long long day = rs->Fields("Day").Int();
            const long long lesson = rs->Fields("LessonNo").Int();
            const tw::db::Field level = rs->Fields("Attr");
            const long long attr = level.Int();
            // A stored slot outside the grid is skipped, a level that is none of the four (Null
            // among them) left unpainted; the rest still paint.
            if (day >= 1 && day <= 5 && lesson >= 1 && lesson <= lessons && !level.IsNull() &&
                attr >= 0 && attr <= 3) {
                const int row = tw::ui::WeekGridRowOfLesson(static_cast<int>(lesson));
                MSFlexGrid1->setCurrentCell(row, static_cast<int>(day));
                PaintCell(row, static_cast<int>(day), static_cast<int>(attr));
            }
            rs->MoveNext();
        }
        rs->Close();
        ShowStatus(QStringLiteral("读取成功"));
    } catch (const std::exception&) {
        ShowStatus(QStringLiteral("读取失败"));
    }
}

bool frmLimitInput::SaveLimitCell() {
    const int row = MSFlexGrid1->currentRow();
    const int column = MSFlexGrid1->currentColumn();
    const int attr = LevelOfText(MSFlexGrid1->TextMatrix(row, column));
    // Nothing is stored for a heading or label cell, an unknown level or no entry at all.
    if (!MSFlexGrid1->IsSlotCell(row, column) || attr < 0 || currentCode_.isEmpty()) {
        ShowStatus(QStringLiteral("写入失败"));
        return false;
    }
    const QString day = QString::number(column);
    const QString lesson = QString::number(tw::ui::WeekGridLessonOfRow(row));
    const QString slot =
        " and code='" + SqlQ(currentCode_) + "'" + " and Day=" + day + " and LessonNo=" + lesson;
    try {
        tw::db::Database& db = KbDb();
        auto rs =
            db.OpenRecordset("select Code from Limittb where kind=" + KindText() + " " + slot);
        const bool exists = !rs->Eof();
        rs->Close();
        if (exists) {
            db.Execute("update Limittb set attr=" + QString::number(attr) +
                       " where kind=" + KindText() + " " + slot);
        } else {
            db.Execute("insert into Limittb values( " + KindText() + "," + "'" +
                       SqlQ(currentCode_) + "'," + day + "," + lesson + "," +
                       QString::number(attr) + ")");
        }
        ShowStatus(QStringLiteral("写入成功"));
        return true;
    } catch (const std::exception&) {
        ShowStatus(QStringLiteral("写入失败"));
        return false;
    }
}

void frmLimitInput::MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column,
                                        const QPoint& globalPos) {
    // The separator row, the headings, the labels and the area beyond the cells are no slots.
    if (!MSFlexGrid1->IsSlotCell(row, column)) return;
    MSFlexGrid1->setCurrentCell(row, column);
    if (button == Qt::RightButton) tw::ui::PopupMenu(*PopMenu, globalPos);
}

void frmLimitInput::SetCurrentCellLevel(int attr) {
    const int row = MSFlexGrid1->currentRow();
    const int column = MSFlexGrid1->currentColumn();
    if (!MSFlexGrid1->IsSlotCell(row, column)) return;
    PaintCell(row, column, attr);
    SaveLimitCell();
}

void frmLimitInput::mnuZuiJiaWeiZhi_Click() {
    SetCurrentCellLevel(0);
}
void frmLimitInput::mnuNormal_Click() {
    SetCurrentCellLevel(1);
}
void frmLimitInput::mnuJinLiangBuPai_Click() {
    SetCurrentCellLevel(2);
}
void frmLimitInput::mnuBuPai_Click() {
    SetCurrentCellLevel(3);
}

void frmLimitInput::cmdNormalAll_Click() {
    if (currentCode_.isEmpty() || !KbDatabase) return;
    // All slots are stored together: either every one is normal afterwards or none changed.
    try {
        tw::db::Transaction trans(KbDb());
        bool stored = true;
        for (int lesson = 1; lesson <= GridLessons() && stored; ++lesson) {
            for (int day = 1; day <= 5 && stored; ++day) {
                const int row = tw::ui::WeekGridRowOfLesson(lesson);
                MSFlexGrid1->setCurrentCell(row, day);
                PaintCell(row, day, kNormal);
                stored = SaveLimitCell();
            }
        }
        if (stored) trans.Commit();
    } catch (const std::exception&) {
        ShowStatus(QStringLiteral("写入失败"));
    }
}

void frmLimitInput::cmdOK_Click() {
    close();
}
