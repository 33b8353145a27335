// Course slot limits: the week grid of one course at a time (Limittb.Kind 1).
#pragma once

#include "frmLimitInput.h"

using frmCourseLimitInput = tw::data::LimitForm<tw::store::LimitKind::Course>;
