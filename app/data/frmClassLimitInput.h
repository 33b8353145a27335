// Class slot limits: the week grid of one class at a time (Limittb.Kind 0).
#pragma once

#include "frmLimitInput.h"

class frmClassLimitInput : public frmLimitInput {
    Q_OBJECT
  public:
    explicit frmClassLimitInput(QWidget* parent = nullptr);

  public slots:
    void CmbClass_Click() { Combo_Click(); }
    void CmdPrevClass_Click() { Prev_Click(); }
    void CmdNextClass_Click() { Next_Click(); }
};
