// A fresh timetable database opened in the test's own program state, scripted message boxes
// and small helpers that drive the data-entry forms the way a user does.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <initializer_list>
#include <memory>

#include "AppTestSupport.h"
#include "db/Database.h"
#include "ui/FormStyle.h"
#include "ui/MsgBox.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace datatest {

// Each test gets a fresh database in its own program state and scripted message boxes.
class DataFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        env_ = std::make_unique<twtest::AppTestEnv>();
        twtest::State().title = "测试学校排课软件系统";
    }
    void TearDown() override { env_.reset(); }

    void Exec(const QString& sql) { env_->Exec(sql); }
    QString Text(const QString& sql) { return env_->Text(sql); }
    long long Count(const QString& sql) { return env_->Count(sql); }
    QString Rows(const QString& sql) { return env_->Rows(sql); }
    // The next message box answers with answer (later ones with OK).
    void Answer(int answer) { env_->answers.push_back(answer); }
    // The message boxes shown so far.
    std::vector<tw::ui::MsgBoxCall>& Calls() { return env_->calls; }

    std::unique_ptr<twtest::AppTestEnv> env_;
};

template <class T>
T* Find(QWidget& form, const char* name) {
    T* w = form.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

inline QString PanelText(QWidget& form, int i) {
    QLabel* label = form.findChild<QLabel*>(QString("Panel%1").arg(i));
    return label ? label->text() : QString("<no panel>");
}

// Every text the form's status panels show, their tooltips (the whole of a cut text) included.
inline QString PanelTexts(QWidget& form) {
    QString texts;
    for (QLabel* label : form.findChildren<QLabel*>()) {
        if (label->objectName().startsWith("Panel")) texts += label->text() + label->toolTip();
    }
    return texts;
}

// True when text holds a Latin letter, as the engine's English words and a statement do.
inline bool HasLatinLetters(const QString& text) {
    for (const QChar c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    }
    return false;
}

inline void Type(QWidget& form, const char* box, const QString& text) {
    Find<QLineEdit>(form, box)->setText(text);
}

inline void Click(QWidget& form, const char* button) {
    Find<QPushButton>(form, button)->click();
}

inline void Key(QWidget* w, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// One key press of a walk through the boxes: the key pressed in a box and the widget that has
// the focus after it.
struct FocusStep {
    QWidget* box;
    Qt::Key key;
    QWidget* focused;
};
// Presses each step's key in its box; the focus must then be on the step's widget.
inline void ExpectFocusSteps(QWidget& form, std::initializer_list<FocusStep> steps) {
    int i = 0;
    for (const FocusStep& step : steps) {
        Key(step.box, step.key);
        EXPECT_EQ(form.focusWidget(), step.focused) << "step " << i++;
    }
}

// The user picks entry index of a drop-down list.
inline void Choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}
inline void Choose(QComboBox* combo, const QString& text) {
    Choose(combo, combo->findText(text));
}

// The user clicks the list row whose own text is text.
inline QTreeWidgetItem* ClickRow(QTreeWidget* list, const QString& text) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->text(0) == text) {
            list->setCurrentItem(item);
            emit list->itemClicked(item, 0);
            return item;
        }
    }
    ADD_FAILURE() << "no row " << text.toStdString();
    return nullptr;
}

// All rows of a list: columns joined by '|', rows by ';'.
inline QString ListRows(QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cols;
        for (int c = 0; c < list->columnCount(); ++c) cols << list->topLevelItem(i)->text(c);
        rows << cols.join('|');
    }
    return rows.join(';');
}

// The rows' own texts (the codes), in the list's order, joined by ','.
inline QString RowTexts(QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(0);
    return texts.join(',');
}

inline QString SelectedText(QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? item->text(0) : QString("<none>");
}

inline bool IsRed(QWidget* w) {
    return tw::ui::CheckColor(w) == tw::ui::kCheckFailColor;
}
inline bool IsWhite(QWidget* w) {
    return tw::ui::CheckColor(w) == tw::ui::kCheckPassColor;
}

}  // namespace datatest
