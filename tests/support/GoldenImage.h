// Comparing a captured window with a stored PNG. On a mismatch the actual image and a difference
// image are written beside the build, and the failure message names both.
#pragma once

#include "platform/TestHooks.h"

#include <gtest/gtest.h>

#include <string>

namespace golden {

bool readPng(const std::string& path, platformtest::Image& image);

// Passes when the image equals tests/golden/NAME.png pixel for pixel. With the environment
// variable BRISOLEN_UPDATE_GOLDEN=1 the stored image is (re)written instead.
testing::AssertionResult matches(const platformtest::Image& image, const std::string& name);

} // namespace golden
