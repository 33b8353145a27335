#include "timetable/frmManualSetLesson.h"

#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "db/CodeOrder.h"
#include "db/Database.h"
#include "shell/AppState.h"
#include "shell/FailureText.h"
#include "shell/NameLists.h"
#include "shell/OpenDatabase.h"
#include "store/Lessons.h"
#include "store/Names.h"
#include "timetable/GridMarks.h"
#include "ui/Combo.h"
#include "ui/FitText.h"
#include "ui/FormStyle.h"
#include "ui/WeekGrid.h"

namespace tw::timetable {

using tw::ui::PlaceTwips;

const QString frmManualSetLesson::kHintDefault =
    QStringLiteral("鼠标左键－选择欲交换的课时    鼠标右键－删除课时");
const QString frmManualSetLesson::kHintPicked =
    QStringLiteral("鼠标左键单击青色课时－安排选择欲的未排课时    鼠标右键－删除课时");
const QString frmManualSetLesson::kHintSelected = QStringLiteral(
    "鼠标左键－选择欲交换的课时    鼠标右键单击黄色课时－交换课时    "
    "鼠标右键单击白色课时－删除课时");

namespace {

bool InTable(long long day, long long lesson) {
    return day >= 0 && day <= 5 && lesson >= 0 && lesson <= 7;
}

// A class grid's cell without its lesson (the course and teacher fields).
void ClearClassLesson(frmManualSetLesson::CellRecord& r) {
    r.courseCode.clear();
    r.courseName.clear();
    r.teacherCode.clear();
    r.teacherName.clear();
}

}  // namespace

frmManualSetLesson::frmManualSetLesson(tw::shell::AppState& state, QWidget* parent)
    : ClassWeekDialog(state, parent) {
    setObjectName(QStringLiteral("frmManualSetLesson"));
    setWindowTitle(QStringLiteral("人工安排课程"));
    setFont(tw::ui::FormFont(12));
    setFixedSize(tw::ui::TwipsToPixels(11910), tw::ui::TwipsToPixels(8235));
    const QString blue = QStringLiteral("color: rgb(0, 0, 255);");

    MakeClassFrame();
    PlaceTwips(Frame1, 120, 0, 3525, 1680);
    PlaceTwips(lblClass, 105, 405, 615, 255);
    PlaceTwips(CmbClass, 840, 360, 2535, 360);
    PlaceTwips(CmdPrevClass, 120, 960, 1575, 375);
    PlaceTwips(CmdNextClass, 1755, 960, 1575, 375);

    // One character a line in a narrow column left of the list; the column is shorter than eight
    // lines of the form's font, so the characters share its height in the size that fits.
    Label1 = new tw::ui::ColumnLabel(
        QString(QStringLiteral("未排班级课程课程")).split(QString()).join('\n').trimmed(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SetBoldColour(Label1, blue);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PlaceTwips(Label1, 3840, 240, 255, 1455);

    lstCourse = new QTreeWidget(this);
    lstCourse->setObjectName(QStringLiteral("lstCourse"));
    lstCourse->setFont(tw::ui::FormFont(9));
    lstCourse->setRootIsDecorated(false);
    lstCourse->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstCourse->setSelectionMode(QAbstractItemView::SingleSelection);
    PlaceTwips(lstCourse, 4080, 120, 3660, 1575);
    tw::ui::ShowCutItemsAsTips(lstCourse);

    MakeExitFrame(9720, 0);

    CmbTeacher = new QComboBox(this);
    CmbTeacher->setObjectName(QStringLiteral("CmbTeacher"));
    CmbTeacher->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    // Drawn 1575 wide from 8175; it reaches left into the free space beside the list so that a
    // name of eight wide characters, as namesakes are told apart, shows whole at 9 pt.
    PlaceTwips(CmbTeacher, 7800, 1380, 1950, 360);
    tw::ui::KeepComboTextWhole(CmbTeacher);
    Label2 = new QLabel(QStringLiteral("任课表"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setStyleSheet(blue);
    PlaceTwips(Label2, 9720, 1440, 855, 375);

    MSFlexGrid1 = new tw::ui::WeekGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    StyleLessonGrid(*MSFlexGrid1);
    PlaceTwips(MSFlexGrid1, 120, 1800, 5625, 5850);
    grdTeacher = new tw::ui::WeekGrid(this);
    grdTeacher->setObjectName(QStringLiteral("grdTeacher"));
    StyleLessonGrid(*grdTeacher);
    PlaceTwips(grdTeacher, 6000, 1800, 5625, 5850);
    MSFlexGrid1->LayOut(6, 500, 1000, 800, 800);
    grdTeacher->LayOut(6, 500, 1000, 800, 800);

    MakeStatusBar({7640, 2201, 1701}, 7860, 11910);

    connect(CmbTeacher, &QComboBox::activated, this, [this](int) { CmbTeacher_Click(); });
    connect(lstCourse, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { lstCourse_ItemClick(item); });
    connect(MSFlexGrid1, &tw::ui::WeekGrid::MouseUp, this,
            &frmManualSetLesson::MSFlexGrid1_MouseUp);
    connect(grdTeacher, &tw::ui::WeekGrid::MouseUp, this, &frmManualSetLesson::grdTeacher_MouseUp);

    Form_Load();
}

int frmManualSetLesson::Lessons() const {
    return GridLessonsOfDay(state_.lessonOfDay);
}

frmManualSetLesson::CellRecord frmManualSetLesson::ClassCell(int day, int lesson) const {
    if (!InTable(day, lesson)) return {};
    return classCells_[day][lesson];
}

frmManualSetLesson::CellRecord frmManualSetLesson::TeacherCell(int day, int lesson) const {
    if (!InTable(day, lesson)) return {};
    return teacherCells_[day][lesson];
}

frmManualSetLesson::CellRecord* frmManualSetLesson::ClassRecord(int day, int lesson) {
    if (!InTable(day, lesson)) return nullptr;
    return &classCells_[day][lesson];
}

QString frmManualSetLesson::TeacherName(const QString& teacherCode) {
    return reads_.Value(OnOpenDatabase(
        state_, [&](tw::db::Database& db) { return tw::store::GetTeacherName(db, teacherCode); }));
}

void frmManualSetLesson::Form_Load() {
    const shell::ReadFailures::Action opening(reads_);
    ReadShownNames();
    teacherNames_ = reads_.Value(OnOpenDatabase(state_, shell::ShownNames::OfTeachers));
    classCells_ = {};
    teacherCells_ = {};
    lstCourse->setColumnCount(3);
    lstCourse->setHeaderLabels(
        {QStringLiteral("班级"), QStringLiteral("课程"), QStringLiteral("节数")});
    lstCourse->setColumnWidth(0, tw::ui::TwipsToPixels(1000));
    lstCourse->setColumnWidth(1, tw::ui::TwipsToPixels(1000));
    lstCourse->setColumnWidth(2, tw::ui::TwipsToPixels(550));
    LoadUnplacedLessons();
    FillClassCombo();
    FillTeacherCombo();
    InitLessonGrid();
    LoadClassLessons();
    Panel(1)->setText(kHintDefault);
}

void frmManualSetLesson::InitLessonGrid() {
    LayOutLessonGrid(*MSFlexGrid1, Lessons(), 1000);
    LayOutLessonGrid(*grdTeacher, Lessons(), 1000);
}

int frmManualSetLesson::FillTeacherCombo() {
    const auto teachers = OnOpenDatabase(state_, [](tw::db::Database& db) {
        return tw::store::ReadTeacherList(db, tw::store::TeacherOrder::ByCode);
    });
    shell::FillNameCombos(shell::ListedNames(teachers.value), {CmbTeacher});
    const int status = reads_.Note(teachers.outcome) ? 0 : -1;
    tw::ui::SetComboIndex(CmbTeacher, -1);
    return status;
}

void frmManualSetLesson::CmbClass_Click() {
    const shell::ReadFailures::Action choosing(reads_);
    curClassCode_ = shell::ShowChosenEntry(CmbClass, Panel(2));
    LoadClassLessons();
}

void frmManualSetLesson::ClearTeacherGrid() {
    grdTeacher->ClearCells();
    InitLessonGrid();
}

void frmManualSetLesson::CmbTeacher_Click() {
    const shell::ReadFailures::Action choosing(reads_);
    if (CmbTeacher->currentIndex() < 0) {
        ClearTeacherGrid();
    } else {
        LoadTeacherLessons(tw::ui::ComboCode(CmbTeacher));
    }
}

int frmManualSetLesson::LoadUnplacedLessons() {
    lstCourse->clear();
    // The entries read before a failure stay.
    const auto read =
        OnOpenDatabase(state_, [](tw::db::Database& db) { return tw::store::ReadOwedLessons(db); });
    for (const tw::store::OwedLessons& owed : read.value) {
        // The texts are names (namesakes told apart); each carries its code, and the entry its
        // plan row's teacher: an older file may hold two rows of one class and course with two
        // teachers.
        auto* item = new QTreeWidgetItem(lstCourse);
        item->setText(0, classNames_.Of(owed.classCode));
        item->setData(0, Qt::UserRole, owed.classCode);
        item->setText(1, courseNames_.Of(owed.courseCode));
        item->setData(1, Qt::UserRole, owed.courseCode);
        item->setText(2, QString::number(owed.remain));
        item->setData(2, Qt::UserRole, owed.teacherCode);
    }
    ShowOwedTeachersApart();
    return reads_.Note(read.outcome) ? 0 : -1;
}

void frmManualSetLesson::ShowOwedTeachersApart() {
    // Entries of one class and course (two plan rows of an older file) differ by their teacher
    // alone: each names its teacher beside the course.
    QHash<QByteArray, int> entries;
    auto key = [](const QTreeWidgetItem* item) {
        return tw::db::CodeKey(item->data(0, Qt::UserRole).toString()) + '\0' +
               tw::db::CodeKey(item->data(1, Qt::UserRole).toString());
    };
    for (int i = 0; i < lstCourse->topLevelItemCount(); ++i) {
        ++entries[key(lstCourse->topLevelItem(i))];
    }
    for (int i = 0; i < lstCourse->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lstCourse->topLevelItem(i);
        if (entries.value(key(item)) < 2) continue;
        const QString teacherCode = item->data(2, Qt::UserRole).toString();
        const QString teacher = teacherNames_.Of(teacherCode);
        item->setText(1, item->text(1) + QStringLiteral("（") +
                             (teacher.isEmpty() ? teacherCode : teacher) + QStringLiteral("）"));
    }
}

int frmManualSetLesson::LoadClassLessons() {
    const int lessons = Lessons();
    for (int day = 1; day <= 5; ++day) {
        for (int lesson = 1; lesson <= lessons; ++lesson) {
            ClearClassLesson(classCells_[day][lesson]);
        }
    }
    const auto read = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::ReadClassLessons(db, curClassCode_);
    });
    // The grid keeps what it showed when nothing could be read; else it shows what was read.
    if (!reads_.Note(read.outcome) && read.value.isEmpty()) return -1;
    MSFlexGrid1->ClearCells();
    InitLessonGrid();
    for (const tw::store::PlacedLesson& stored : read.value) {
        // A stored lesson outside the week shown is skipped; the others still load.
        if (!InShownWeek(stored.day, stored.lesson, lessons)) continue;
        CellRecord& r = classCells_[stored.day][stored.lesson];
        r.courseCode = stored.courseCode;
        r.courseName = courseNames_.Of(r.courseCode);
        r.teacherCode = stored.teacherCode;
        r.teacherName = TeacherName(r.teacherCode);
        const int row = tw::ui::WeekGridRowOfLesson(static_cast<int>(stored.lesson));
        PaintCurrent(*MSFlexGrid1, row, static_cast<int>(stored.day), tw::ui::kVbWhite);
        MSFlexGrid1->SetTextMatrix(row, static_cast<int>(stored.day), r.courseName);
    }
    if (!read.Done()) return -1;
    Panel(3)->setText(QStringLiteral("读取成功"));
    return 0;
}

int frmManualSetLesson::LoadTeacherLessons(const QString& teacherCode) {
    const int lessons = Lessons();
    for (int day = 1; day <= 5; ++day) {
        for (int lesson = 1; lesson <= lessons; ++lesson) {
            CellRecord& r = teacherCells_[day][lesson];
            r.classCode.clear();
            r.className.clear();
            r.classShortName.clear();
            r.courseCode.clear();
            r.courseName.clear();
        }
    }
    const auto read = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::ReadTeacherLessons(db, teacherCode);
    });
    if (!reads_.Note(read.outcome) && read.value.isEmpty()) return -1;
    grdTeacher->ClearCells();
    InitLessonGrid();
    for (const tw::store::PlacedLesson& stored : read.value) {
        if (!InShownWeek(stored.day, stored.lesson, lessons)) continue;
        CellRecord& r = teacherCells_[stored.day][stored.lesson];
        r.classCode = stored.classCode;
        r.className = reads_.Value(OnOpenDatabase(state_, [&](tw::db::Database& db) {
            return tw::store::GetClassName(db, r.classCode);
        }));
        r.classShortName = reads_.Value(OnOpenDatabase(state_, [&](tw::db::Database& db) {
            return tw::store::GetClassShortName(db, r.classCode);
        }));
        r.courseCode = stored.courseCode;
        r.courseName = courseNames_.Of(r.courseCode);
        const int row = tw::ui::WeekGridRowOfLesson(static_cast<int>(stored.lesson));
        PaintCurrent(*grdTeacher, row, static_cast<int>(stored.day), tw::ui::kVbWhite);
        // Two lines: the course, then the class.
        grdTeacher->SetTextMatrix(row, static_cast<int>(stored.day),
                                  r.courseName + '\n' + r.classShortName);
    }
    return read.Done() ? 0 : -1;
}

void frmManualSetLesson::ResetGridColours() {
    for (int row = 1; row <= Lessons() + 1; ++row) {
        for (int column = 1; column <= 5; ++column) {
            PaintCurrent(*MSFlexGrid1, row, column, tw::ui::kVbWhite);
        }
    }
    Panel(1)->setText(kHintDefault);
}

void frmManualSetLesson::lstCourse_ItemClick(QTreeWidgetItem* item) {
    if (!item) return;
    const shell::ReadFailures::Action picking(reads_);
    lstCourse->setCurrentItem(item);
    // A class that is not in the class list (no class row for it) cannot be shown: the pick is
    // ignored.
    const QString classCode = item->data(0, Qt::UserRole).toString();
    if (tw::ui::ComboIndexOfCode(CmbClass, classCode) < 0) return;
    curClassCode_ = classCode;
    pickedCourse_ = item->data(1, Qt::UserRole).toString();
    pickedRemain_ = item->text(2).toInt();
    pickedTeacher_ = item->data(2, Qt::UserRole).toString();
    tw::ui::SetComboCode(CmbClass, classCode, [this] { CmbClass_Click(); });
    if (pickedRemain_ < 1) return;
    for (int row = 1; row <= Lessons() + 1; ++row) {
        if (row == tw::ui::kWeekGridSeparatorRow) continue;
        const int lesson = tw::ui::WeekGridLessonOfRow(row);
        for (int column = 1; column <= 5; ++column) {
            if (!MSFlexGrid1->TextMatrix(row, column).isEmpty()) continue;
            const auto free = OnOpenDatabase(state_, [&](tw::db::Database& db) {
                return tw::store::SlotFree(db, curClassCode_, pickedTeacher_, column, lesson);
            });
            if (reads_.Note(free.outcome) && free.value) {
                PaintCurrent(*MSFlexGrid1, row, column, tw::ui::kVbCyan);
            }
        }
    }
    Panel(1)->setText(kHintPicked);
}

void frmManualSetLesson::MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column,
                                             const QPoint&) {
    if (row < 0 || column < 0) return;
    MSFlexGrid1->setCurrentCell(row, column);
    if (!MSFlexGrid1->IsSlotCell(row, column)) return;
    const shell::ReadFailures::Action clicking(reads_);
    const int day = column;
    const int lesson = tw::ui::WeekGridLessonOfRow(row);
    const QString text = MSFlexGrid1->TextMatrix(row, column);
    const unsigned int mark = CellMark(*MSFlexGrid1, row, column);
    bool edited = false;
    if (button == Qt::LeftButton) {
        if (!text.isEmpty()) {
            if (mark == tw::ui::kVbWhite || mark == tw::ui::kVbYellow) {
                PaintCurrent(*MSFlexGrid1, row, column, tw::ui::kVbDarkRed);
                selDay_ = day;
                selLesson_ = lesson;
                MarkSwapTargets(curClassCode_, day, lesson);
                Panel(1)->setText(kHintSelected);
            }
        } else if (mark == tw::ui::kVbCyan) {
            if (!pickedCourse_.isEmpty() && PlaceLesson() == 0) {
                edited = true;
                CellRecord& r = classCells_[day][lesson];
                r.courseCode = pickedCourse_;
                r.courseName = courseNames_.Of(pickedCourse_);
                r.teacherCode = pickedTeacher_;
                r.teacherName = TeacherName(pickedTeacher_);
                MSFlexGrid1->SetTextMatrix(row, column, r.courseName);
                PaintCurrent(*MSFlexGrid1, row, column, tw::ui::kVbWhite);
                LoadUnplacedLessons();
                ResetGridColours();
            }
        } else {
            ResetGridColours();
        }
    } else if (button == Qt::RightButton) {
        if (mark == tw::ui::kVbWhite && text.isEmpty()) return;
        if (mark == tw::ui::kVbWhite) {
            if (RemoveLesson() == 0) {
                edited = true;
                ClearClassLesson(classCells_[day][lesson]);
                MSFlexGrid1->SetTextMatrix(row, column, QString());
                LoadUnplacedLessons();
            }
        } else if (mark == tw::ui::kVbYellow) {
            edited = SwapLessons(curClassCode_, selDay_, selLesson_, day, lesson) == 0;
            if (const CellRecord* s = ClassRecord(selDay_, selLesson_)) {
                MSFlexGrid1->SetTextMatrix(tw::ui::WeekGridRowOfLesson(selLesson_), selDay_,
                                           s->courseName);
            }
            MSFlexGrid1->SetTextMatrix(row, column, classCells_[day][lesson].courseName);
            ResetGridColours();
        }
    }
    TeacherFollows(day, lesson, edited);
}

void frmManualSetLesson::TeacherFollows(int day, int lesson, bool edited) {
    const CellRecord& r = classCells_[day][lesson];
    if (!r.teacherName.isEmpty()) {
        const bool switched =
            !tw::db::SameCode(tw::ui::ComboCode(CmbTeacher), r.teacherCode) &&
            tw::ui::SetComboCode(CmbTeacher, r.teacherCode, [this] { CmbTeacher_Click(); });
        // The week shown may hold the lessons just placed, removed or moved.
        if (edited && !switched) CmbTeacher_Click();
        grdTeacher->setCurrentCell(MSFlexGrid1->currentRow(), MSFlexGrid1->currentColumn());
    } else {
        tw::ui::SetComboIndex(CmbTeacher, -1, [this] { CmbTeacher_Click(); });
        ClearTeacherGrid();
    }
}

void frmManualSetLesson::grdTeacher_MouseUp(Qt::MouseButton, int row, int column, const QPoint&) {
    if (row < 0 || column < 0 || row == tw::ui::kWeekGridSeparatorRow) return;
    const shell::ReadFailures::Action clicking(reads_);
    grdTeacher->setCurrentCell(row, column);
    const CellRecord r = TeacherCell(column, tw::ui::WeekGridLessonOfRow(row));
    if (r.className.isEmpty()) return;
    if (!tw::db::SameCode(tw::ui::ComboCode(CmbClass), r.classCode) &&
        !tw::ui::SetComboCode(CmbClass, r.classCode, [this] { CmbClass_Click(); })) {
        return;  // a class that is not in the class list cannot be shown
    }
    MSFlexGrid1->setCurrentCell(grdTeacher->currentRow(), grdTeacher->currentColumn());
}

void frmManualSetLesson::ShowStoredAfterFailure(const QString& text) {
    LoadClassLessons();
    LoadUnplacedLessons();
    ResetGridColours();
    Panel(3)->setText(text);
}

int frmManualSetLesson::PlaceLesson() {
    if (pickedCourse_.isEmpty()) return -1;
    const int day = MSFlexGrid1->currentColumn();
    const int lesson = tw::ui::WeekGridLessonOfRow(MSFlexGrid1->currentRow());
    const tw::store::Outcome outcome = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::PlaceHandLesson(db, curClassCode_, pickedCourse_, pickedTeacher_, day,
                                          lesson);
    });
    // Every refusal and failure is worded alike: the grids show what is stored.
    if (!outcome.Done()) {
        ShowStoredAfterFailure(shell::PanelFailureText(QStringLiteral("写入失败"), outcome));
        return -1;
    }
    Panel(3)->setText(QStringLiteral("写入成功"));
    return 0;
}

int frmManualSetLesson::RemoveLesson() {
    const int row = MSFlexGrid1->currentRow();
    const int column = MSFlexGrid1->currentColumn();
    if (MSFlexGrid1->TextMatrix(row, column).isEmpty()) return -1;
    const int lesson = tw::ui::WeekGridLessonOfRow(row);
    const tw::store::Outcome outcome = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::RemoveHandLesson(db, curClassCode_, column, lesson);
    });
    if (!outcome.Done()) {
        ShowStoredAfterFailure(shell::PanelFailureText(QStringLiteral("删除失败"), outcome));
        return -1;
    }
    Panel(3)->setText(QStringLiteral("删除成功"));
    return 0;
}

int frmManualSetLesson::MarkSwapTargets(const QString& classCode, int day, int lesson) {
    const CellRecord* selected = ClassRecord(day, lesson);
    if (!selected) return -1;
    const QString course = selected->courseCode;
    const QString teacher = selected->teacherCode;
    ResetGridColours();
    for (int d = 1; d <= 5; ++d) {
        for (int l = 1; l <= Lessons(); ++l) {
            const CellRecord& r = classCells_[d][l];
            if (d == day && l == lesson) continue;
            if (!r.courseCode.isEmpty() && tw::db::SameCode(r.courseCode, course)) continue;
            const auto trade = OnOpenDatabase(state_, [&](tw::db::Database& db) {
                return tw::store::CanTradeSlots(db, classCode, teacher, day, lesson, r.teacherCode,
                                                d, l);
            });
            if (reads_.Note(trade.outcome) && trade.value) {
                PaintCurrent(*MSFlexGrid1, tw::ui::WeekGridRowOfLesson(l), d, tw::ui::kVbYellow);
            }
        }
    }
    PaintCurrent(*MSFlexGrid1, tw::ui::WeekGridRowOfLesson(lesson), day, tw::ui::kVbDarkRed);
    return 0;
}

int frmManualSetLesson::SwapLessons(const QString& classCode, int selectedDay, int selectedLesson,
                                    int day, int lesson) {
    if (CellMark(*MSFlexGrid1, MSFlexGrid1->currentRow(), MSFlexGrid1->currentColumn()) !=
        tw::ui::kVbYellow)
        return -1;
    CellRecord* s = ClassRecord(selectedDay, selectedLesson);
    CellRecord* t = ClassRecord(day, lesson);
    if (!s || !t) return -1;
    const tw::store::Outcome outcome = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::SwapClassLessons(db, classCode, selectedDay, selectedLesson, day, lesson);
    });
    if (!outcome.Done()) {
        ShowStoredAfterFailure(shell::PanelFailureText(QStringLiteral("换课失败"), outcome));
        return -1;
    }
    std::swap(*s, *t);
    Panel(3)->setText(QStringLiteral("换课成功"));
    return 0;
}

}  // namespace tw::timetable
