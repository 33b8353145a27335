// Teacher slot limits: the week grid of one teacher at a time (Limittb.Kind 2).
#pragma once

#include "frmLimitInput.h"

class frmTeacherLimitInput : public frmLimitInput {
    Q_OBJECT
  public:
    explicit frmTeacherLimitInput(QWidget* parent = nullptr);

  public slots:
    void CmbTeacher_Click() { Combo_Click(); }
    void CmdPrev_Click() { Prev_Click(); }
    void CmdNext_Click() { Next_Click(); }
};
