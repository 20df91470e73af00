#pragma once
// Which release the package's programs are and under which licence a school may copy them: one text, so the
// window, the runner and the remote check answer "--version" alike.

#include <string>
#include <string_view>

// The release number, as the package and the manual pages carry it ("0.1.0").
std::string_view ReleaseNumber();

// `programa` and the release on the first line, then the copyright, the licence and the lack of warranty,
// one per line.
std::string ReleaseText(std::string_view programa);
