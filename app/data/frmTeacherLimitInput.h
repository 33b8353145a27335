// Teacher slot limits: the week grid of one teacher at a time (Limittb.Kind 2).
#pragma once

#include "frmLimitInput.h"

using frmTeacherLimitInput = tw::data::LimitForm<tw::store::LimitKind::Teacher>;
