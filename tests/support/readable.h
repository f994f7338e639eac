// Test helpers that show CP932 bytes to a person: as UTF-8 text, and as hex where the
// bytes are not valid CP932.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace ov::test {

// CP932 -> UTF-8 for failure messages; invalid sequences show as \xNN.
std::string Readable(const std::string& cp932);

::testing::AssertionResult SameBytes(const char* actualExpr, const char* expectedExpr, const std::string& actual,
                                     const std::string& expected);

}  // namespace ov::test

// Compares two CP932 texts byte for byte and shows both readably on failure.
#define EXPECT_BYTES(actual, expected) EXPECT_PRED_FORMAT2(::ov::test::SameBytes, actual, expected)
#define ASSERT_BYTES(actual, expected) ASSERT_PRED_FORMAT2(::ov::test::SameBytes, actual, expected)
