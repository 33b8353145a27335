// Classroom slot limits: the week grid of one classroom at a time (Limittb.Kind 3).
#pragma once

#include "frmLimitInput.h"

using frmClassRoomLimitInput = tw::data::LimitForm<tw::store::LimitKind::ClassRoom>;
