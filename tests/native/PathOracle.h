#pragma once
// An independent judge of what the entry-name safety gate lets through: a relative path
// stays inside its destination when every component is a plain name that Windows takes
// as it is: no "." or "..", no trailing dot or blank (Windows would drop it), no device,
// no drive or stream colon, no wildcard or control character. Written apart from the gate
// on purpose, so that the fuzzers compare two readings of the same rules.

#include <string>

// `relative` as the gate returns it: components joined by '\', or empty.
bool StaysInside(const std::u16string& relative);
