#pragma once
// Work that must not touch the test program itself (giving up root, resource limits) runs in a child.

#include <functional>

// Runs `body` in a forked child and gives its exit code (200 + signal when it was killed, 99 when it
// threw, -1 when there was no child).
int RunInChild(const std::function<int()>& body);
