#pragma once
// The outcome of a device command, a transfer or a file operation, carried
// unchanged from the layer that met the failure up to the window that shows
// it: what went wrong (a status from a short list), the system's error
// number where the system said so, and a short detail naming the thing
// involved (a command and offset, a path).
//
// Results are values: no layer keeps a "last error", and every function that
// returns one is [[nodiscard]] through the type, so a failure cannot be
// dropped by accident.  A caller that deliberately ignores one says so with
// `ignoreResult`.

#include <string>
#include <string_view>
#include <utility>

namespace quellix {

enum class Status : unsigned char {
    Ok,
    NotConnected, // no device of this kind is connected
    OpenFailed,   // the device is there but could not be opened (see errorNumber)
    HungUp,       // the device went away while it was being used
    NoReply,      // the device did not answer in time
    WriteFailed,  // a request could not be written
    Rejected,     // the device answered with status 0xFF
    Malformed,    // the device answered with status 0xFE
    BadArgument,  // the request cannot be formed (a page, a length, an offset)
    Unsupported,  // the device reports something this program cannot handle
    Cancelled,    // stopped on purpose before it finished
    FileError,    // the system refused a file operation (see errorNumber)
    BadFile,      // a file was read but its contents are not what was expected
};

// "ok", "not connected", "no reply", ...: stable names for logs and tests.
std::string_view statusName(Status status);
// A sentence for people: "the device did not answer".
std::string_view statusText(Status status);

class [[nodiscard]] Result {
public:
    Result() = default;

    static Result success() { return {}; }
    static Result failure(Status status, std::string detail = {}, int errorNumber = 0) {
        Result r;
        r.status_ = status;
        r.detail_ = std::move(detail);
        r.errno_ = errorNumber;
        return r;
    }
    // A failed system call: FileError with `errorNumber` and `detail`.
    static Result fromErrno(int errorNumber, std::string detail = {}) {
        return failure(Status::FileError, std::move(detail), errorNumber);
    }

    bool ok() const { return status_ == Status::Ok; }
    explicit operator bool() const { return ok(); }
    Status status() const { return status_; }
    int errorNumber() const { return errno_; }
    const std::string& detail() const { return detail_; }

    // The same failure with a wider context in front of the detail, e.g.
    // "reading slot 2" + "command 5 at 0x0092".  A success stays a success.
    Result context(std::string_view where) &&;

    // "the device did not answer (command 5 at 0x0092)", "file error: No
    // space left on device (/home/u/ms/profile1.config)"; "ok" for success.
    std::string describe() const;

    // The status alone decides equality: tests and callers compare what
    // happened, not the wording of the detail.
    friend bool operator==(const Result& a, Status s) { return a.status_ == s; }

private:
    Status status_ = Status::Ok;
    int errno_ = 0;
    std::string detail_;
};

// A result and, when it is ok, a value.
template <typename T> class [[nodiscard]] Outcome {
public:
    Outcome(T value) : value_(std::move(value)) {}
    Outcome(Result failure) : result_(std::move(failure)) {}

    bool ok() const { return result_.ok(); }
    explicit operator bool() const { return ok(); }
    const Result& result() const { return result_; }
    // Only meaningful when ok().
    T& value() { return value_; }
    const T& value() const { return value_; }
    T* operator->() { return &value_; }
    const T* operator->() const { return &value_; }
    T& operator*() { return value_; }
    const T& operator*() const { return value_; }

private:
    Result result_;
    T value_{};
};

// Keeps the first failure of a sequence of steps that all run regardless
// (an image read goes on past a failed slot so that the rest is mirrored).
class FirstFailure {
public:
    void note(Result r) {
        if (first_.ok() && !r.ok()) {
            first_ = std::move(r);
        }
    }
    const Result& result() const { return first_; }
    Result take() { return std::move(first_); }

private:
    Result first_;
};

// For the few places that drop a result on purpose (a notice whose answer
// the protocol does not need): the call site names the intent.
inline void ignoreResult(const Result&) {}

} // namespace quellix
