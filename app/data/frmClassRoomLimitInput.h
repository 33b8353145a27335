// Classroom slot limits: the week grid of one classroom at a time (Limittb.Kind 3).
#pragma once

#include "frmLimitInput.h"

class frmClassRoomLimitInput : public frmLimitInput {
    Q_OBJECT
  public:
    explicit frmClassRoomLimitInput(QWidget* parent = nullptr);

  public slots:
    void CmbClassRoom_Click() { Combo_Click(); }
    void CmdPrev_Click() { Prev_Click(); }
    void CmdNext_Click() { Next_Click(); }
};
