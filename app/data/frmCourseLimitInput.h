// Course slot limits: the week grid of one course at a time (Limittb.Kind 1).
#pragma once

#include "frmLimitInput.h"

class frmCourseLimitInput : public frmLimitInput {
    Q_OBJECT
  public:
    explicit frmCourseLimitInput(QWidget* parent = nullptr);

  public slots:
    void CmbCourse_Click() { Combo_Click(); }
    void CmdPrev_Click() { Prev_Click(); }
    void CmdNext_Click() { Next_Click(); }
};
