#include "frmLimitInput.h"

#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "DataEntry.h"
#include "db/Database.h"
#include "shell/AppState.h"
#include "shell/FailureText.h"
#include "shell/NameLists.h"
#include "ui/Combo.h"
#include "ui/WeekGrid.h"

namespace tw::data {

using tw::store::LimitKind;
using tw::store::ReadLimitEntries;
using tw::store::ReadLimits;
using tw::store::StoreAllNormal;
using tw::store::StoreLimit;
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

}  // namespace

// The control names follow the entry's kind: frm<stem>LimitInput, Cmb<stem>, CmdPrev<buttonStem>,
// CmdNext<buttonStem>, lbl<labelStem>; the buttons read 上一<noun>(&P) and 下一<noun>(&N), the
// label <noun> and the caption <titleNoun>上课时间限制.
struct frmLimitInput::Setup {
    LimitKind kind;  // whose limits the form shows and stores
    const char* stem;
    const char* noun;
    const char* titleNoun;
    const char* buttonStem;
    const char* labelStem;
    bool followsLessonOfDay;  // the course grid follows the lessons-per-day setting
};

const frmLimitInput::Setup& frmLimitInput::SetupOf(LimitKind kind) {
    static const Setup kSetups[] = {
        {LimitKind::Class, "Class", "班级", "班级", "Class", "Class", false},
        {LimitKind::Course, "Course", "课程", "课程", "", "Class", true},
        {LimitKind::Teacher, "Teacher", "老师", "老师", "", "Teacher", false},
        {LimitKind::ClassRoom, "ClassRoom", "教室", "公共教室", "", "ClassRoom", false},
    };
    for (const Setup& setup : kSetups) {
        if (setup.kind == kind) return setup;
    }
    Q_UNREACHABLE();
}

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

frmLimitInput::frmLimitInput(tw::shell::AppState& state, LimitKind kind, QWidget* parent)
    : tw::ui::DataForm(parent),
      state_(state),
      reads_([this](const tw::store::Outcome& failed) {
          ShowStatus(shell::PanelFailureText(QStringLiteral("读取失败"), failed));
      }),
      setup_(SetupOf(kind)) {
    const QString stem = QString::fromUtf8(setup_.stem);
    const QString noun = QString::fromUtf8(setup_.noun);
    const QString buttonStem = QString::fromUtf8(setup_.buttonStem);
    setObjectName("frm" + stem + "LimitInput");
    setWindowTitle(QString::fromUtf8(setup_.titleNoun) + "上课时间限制");
    setFont(tw::ui::FormFont(9));
    setFixedSize(tw::ui::TwipsToPixels(8540), tw::ui::TwipsToPixels(8040));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(Frame1, 120, 60, 8300, 800);
    Label = new QLabel(noun, Frame1);
    Label->setObjectName("lbl" + QString::fromUtf8(setup_.labelStem));
    PlaceTwips(Label, 200, 330, 600, 300);
    Combo = new QComboBox(Frame1);
    Combo->setObjectName("Cmb" + stem);
    PlaceTwips(Combo, 850, 270, 2600, 360);
    Prev = MakeButton("CmdPrev" + buttonStem, "上一" + noun + "(&P)", Frame1);
    PlaceTwips(Prev, 3700, 240, 1800, 420);
    Next = MakeButton("CmdNext" + buttonStem, "下一" + noun + "(&N)", Frame1);
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
    return setup_.followsLessonOfDay && state_.lessonOfDay == 7 ? 7 : 6;
}

void frmLimitInput::ShowStatus(const QString& text) {
    Panel(1)->setText(text);
}

void frmLimitInput::Form_Load() {
    const shell::ReadFailures::Action opening(reads_);
    FillLimitCombo();
    LoadLimits();
}

void frmLimitInput::FillLimitCombo() {
    // After a failing read the names read so far stay and none is selected.
    const auto entries = OnOpenDatabase(
        state_, [this](tw::db::Database& db) { return ReadLimitEntries(db, setup_.kind); });
    shell::FillNameCombos(shell::ListedNames(entries.value), {Combo});
    if (reads_.Note(entries.outcome) && Combo->count() > 0) SelectName(0);
}

void frmLimitInput::SelectName(int index) {
    tw::ui::SetComboIndex(Combo, index, [this] { Combo_Click(); });
}

void frmLimitInput::Combo_Click() {
    const shell::ReadFailures::Action choosing(reads_);
    currentCode_ = shell::ShowChosenEntry(Combo, Panel(2), QStringLiteral("限制特征"));
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
    const auto read = OnOpenDatabase(
        state_, [this](tw::db::Database& db) { return ReadLimits(db, setup_.kind, currentCode_); });
    // A read that failed at once leaves the grid as it was.
    if (read.value.statementRan) {
        MSFlexGrid1->ClearCells();
        InitLimitGrid();
        const int lessons = GridLessons();
        if (setup_.followsLessonOfDay) {
            // Courses without rows show every slot normal on screen and store nothing.
            for (int lesson = 1; lesson <= lessons; ++lesson) {
                for (int day = 1; day <= 5; ++day) {
                    PaintCell(tw::ui::WeekGridRowOfLesson(lesson), day, tw::store::kNormalSlot);
                }
            }
        } else if (read.Done() && read.value.rows.isEmpty() && !currentCode_.isEmpty()) {
            cmdNormalAll_Click();
        }
        for (const tw::store::StoredLimit& limit : read.value.rows) {
            // A stored slot outside the grid is skipped, a level that is none of the four (Null
            // among them) left unpainted; the rest still paint.
            if (limit.day >= 1 && limit.day <= 5 && limit.lesson >= 1 && limit.lesson <= lessons &&
                limit.level >= 0) {
                const int row = tw::ui::WeekGridRowOfLesson(static_cast<int>(limit.lesson));
                MSFlexGrid1->setCurrentCell(row, static_cast<int>(limit.day));
                PaintCell(row, static_cast<int>(limit.day), limit.level);
            }
        }
    }
    if (reads_.Note(read.outcome)) ShowStatus(QStringLiteral("读取成功"));
}

void frmLimitInput::SaveLimitCell() {
    const int row = MSFlexGrid1->currentRow();
    const int column = MSFlexGrid1->currentColumn();
    // A heading or label cell is no slot: the data layer refuses day or lesson 0.
    const bool slot = MSFlexGrid1->IsSlotCell(row, column);
    const int day = slot ? column : 0;
    const int lesson = slot ? tw::ui::WeekGridLessonOfRow(row) : 0;
    const int level = LevelOfText(MSFlexGrid1->TextMatrix(row, column));
    const tw::store::Outcome stored = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return StoreLimit(db, setup_.kind, currentCode_, day, lesson, level);
    });
    ShowStatus(stored.Done() ? QStringLiteral("写入成功")
                             : shell::PanelFailureText(QStringLiteral("写入失败"), stored));
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
    const int lessons = GridLessons();
    const auto stored = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return StoreAllNormal(db, setup_.kind, currentCode_, lessons);
    });
    // Without a database or an entry nothing is stored, painted or shown.
    if (stored.outcome.reason == tw::store::Reason::NoDatabase ||
        stored.outcome.reason == tw::store::Reason::BadLimit) {
        return;
    }
    // The slots the command reached turn normal on screen, in its order, the last one current;
    // after a failure none of them is stored.
    for (int slot = 0; slot < stored.value; ++slot) {
        const int row = tw::ui::WeekGridRowOfLesson(slot / 5 + 1);
        const int day = slot % 5 + 1;
        MSFlexGrid1->setCurrentCell(row, day);
        PaintCell(row, day, tw::store::kNormalSlot);
    }
    ShowStatus(stored.Done() ? QStringLiteral("写入成功")
                             : shell::PanelFailureText(QStringLiteral("写入失败"), stored.outcome));
}

void frmLimitInput::cmdOK_Click() {
    close();
}

}  // namespace tw::data
