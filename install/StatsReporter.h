#pragma once
// The one statistics request of an install run: a GET whose answer is read and dropped.

#include <string>

// Sends the request and reads the answer to its end. Nothing is reported; every failure
// ends the report silently. Bounded: each network step times out after a few seconds and
// the whole report after kReportDeadlineMs.
void SendReport(const std::wstring& address);

inline constexpr unsigned kReportTimeoutMs = 3000;
inline constexpr unsigned kReportDeadlineMs = 10000;
