// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/cwdecoder.h"

#include <gtest/gtest.h>
