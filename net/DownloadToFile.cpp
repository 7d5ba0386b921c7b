// One download attempt: ask the server, decide where the local file starts (complete,
// continue, or from byte 0), then move the body in 4096-byte blocks.
//
// A partial file is continued only when the server answers the range asked for (206, the
// same Last-Modified as the file's stamp, a Content-Range starting at the file's size).
// Anything else starts over from byte 0, so a server that ignores or misplaces the range
// can never make us append to the wrong place.

#include <algorithm>

#include "app/UniqueHandle.h"
#include "net/HttpDownloader.h"
#include "net/LocalFile.h"

namespace {

bool IsServerError(DWORD status) { return status >= 500 && status <= 599; }

}  // namespace

bool HttpDownloader::DescribeWholeObject(DWORD status, ServerObject& object) {
    if (status != HTTP_STATUS_OK && status != HTTP_STATUS_PARTIAL_CONTENT) return false;
    uint64_t length = 0;
    if (!QueryLastModified(&object.lastModified) || !QueryContentLength(&length)) return false;
    object.totalSize = length;
    if (status == HTTP_STATUS_PARTIAL_CONTENT) {
        // A range nobody asked for: its body is usable only when it starts at byte 0.
        const std::optional<ContentRange> range = QueryContentRange();
        if (!range || range->first != 0) return false;
        if (range->total) object.totalSize = *range->total;
    }
    return true;
}

bool HttpDownloader::DescribeContinuation(uint64_t fileSize, const SYSTEMTIME& fileStamp, ServerObject& object) {
    const std::optional<ContentRange> range = QueryContentRange();
    if (!range || range->first != fileSize) return false;
    if (!QueryLastModified(&object.lastModified) || !SameStamp(object.lastModified, fileStamp)) return false;
    // Content-Length is required here as on a whole answer, and must agree with the range.
    uint64_t length = 0;
    if (!QueryContentLength(&length) || length != range->last - range->first + 1) return false;
    object.totalSize = range->total ? *range->total : range->first + length;
    return object.totalSize > fileSize;
}

int HttpDownloader::DownloadToFile(const char* objectPath, const char* fileName, int resumeAllowed) {
    if (!objectPath || !fileName) return kDownloadNoObject;
    if (!ReturnToOrigin()) return kDownloadNoObject;

    enum class Start { FromZero, Continue, Complete };
    const LocalFileState local = InspectLocalFile(fileName);
    const auto isComplete = [&](const ServerObject& object) {
        return local.exists && SameStamp(local.lastWrite, object.lastModified) && local.size == object.totalSize;
    };
    ServerObject object;
    Start start = Start::FromZero;
    bool described = false;

    // A partial file is first asked for its rest directly. A plain request first would have
    // the server push the start of the whole body at us only to be thrown away, on every
    // attempt of a connection that keeps breaking.
    if (resumeAllowed == 1 && local.exists && local.size > 0) {
        const Answer ranged = Send(objectPath, RangeHeaderText(local.size).c_str(), kMaxRedirects);
        // No answer, or a server error: nothing is known about the object, so the file is
        // kept as it is for the next attempt.
        if (!ranged.answered || IsServerError(ranged.status)) return kDownloadReadFailed;
        if (ranged.status == HTTP_STATUS_PARTIAL_CONTENT) {
            described = DescribeContinuation(local.size, local.lastWrite, object);
            start = Start::Continue;
        } else if (ranged.status == HTTP_STATUS_OK) {
            // The range was ignored: this body is the whole object.
            described = DescribeWholeObject(ranged.status, object);
            start = isComplete(object) ? Start::Complete : Start::FromZero;
        }
    }
    // Otherwise (416, a misplaced range, another object) the plain request decides.
    if (!described) {
        const Answer whole = Send(objectPath, nullptr, kMaxRedirects);
        if (!whole.answered || !DescribeWholeObject(whole.status, object)) return kDownloadNoObject;
        start = isComplete(object) ? Start::Complete : Start::FromZero;
    }

    EnsureParentFolder(fileName);
    SetFileAttributesA(fileName, FILE_ATTRIBUTE_NORMAL);  // a read-only leftover is still ours
    UniqueFile file(CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    if (!file) return kDownloadFileFailed;

    if (start == Start::Complete) {
        OnProgress(file.Get(), 0, TransferMs(), ReceivedBytes(), object.totalSize, local.size, CallerValue());
        return kDownloadAlreadyComplete;
    }
    uint64_t offset = 0;
    if (start == Start::Continue) {
        // The body answers the size seen before opening; a file changed meanwhile is left
        // for the next attempt to judge.
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.Get(), &size) || static_cast<uint64_t>(size.QuadPart) != local.size)
            return kDownloadReadFailed;
        offset = local.size;
    }
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()))
        return kDownloadFileFailed;
    return RunTransfer(file.Get(), offset, object);
}

int HttpDownloader::RunTransfer(HANDLE file, uint64_t startOffset, const ServerObject& object) {
    // The stamp goes on before the first byte and again after every write: under Wine
    // each write moves the last-write time, and a process killed between two blocks must
    // still leave a file the next attempt recognises.
    FILETIME stamp{};
    const bool canStamp = SystemTimeToFileTime(&object.lastModified, &stamp) != FALSE;
    if (canStamp) StampFile(file, stamp);

    const uint64_t total = object.totalSize;
    uint64_t fileSize = startOffset;
    int result = kDownloadDone;
    char buffer[kBlockSize];
    DWORD blockStart = GetTickCount();
    while (stopRequested.load() == 0) {
        if (fileSize >= total) break;
        // Never past the total, whatever the server sends.
        const DWORD wanted = static_cast<DWORD>(std::min<uint64_t>(kBlockSize, total - fileSize));
        DWORD got = 0;
        if (!InternetReadFile(requestHandle_.Get(), buffer, wanted, &got) || got == 0) {
            result = kDownloadReadFailed;
            break;
        }
        transferMs_.fetch_add(GetTickCount() - blockStart, std::memory_order_relaxed);
        receivedBytes_.fetch_add(got, std::memory_order_relaxed);
        fileSize += got;
        DWORD written = 0;
        if (!WriteFile(file, buffer, got, &written, nullptr) || written != got) {
            result = kDownloadFileFailed;
            break;
        }
        if (canStamp) StampFile(file, stamp);
        OnProgress(file, 1, TransferMs(), ReceivedBytes(), total, fileSize, CallerValue());
        if (fileSize == total) break;
        blockStart = GetTickCount();
    }
    if (stopRequested.load() != 0) result = kDownloadStopped;
    return result;
}
