#pragma once

#include <string>

#ifndef QUORVEX_TEST_SOURCE_DIR
#error "QUORVEX_TEST_SOURCE_DIR must name the tests folder"
#endif

namespace quorvex::test {

// Test data lives beside the test sources, never relative to the working folder.
inline std::string testDataPath(const std::string &relative)
{
    return std::string(QUORVEX_TEST_SOURCE_DIR) + "/data/" + relative;
}

} // namespace quorvex::test
