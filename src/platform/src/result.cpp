#include "quellix/platform/result.h"

#include <array>
#include <system_error>

namespace quellix {

namespace {

struct StatusWords {
    Status status;
    std::string_view name;
    std::string_view text;
};

constexpr std::array<StatusWords, 13> kStatusWords = {{
    {Status::Ok, "ok", "done"},
    {Status::NotConnected, "not connected", "the device is not connected"},
    {Status::OpenFailed, "open failed", "the device could not be opened"},
    {Status::HungUp, "hung up", "the device was disconnected"},
    {Status::NoReply, "no reply", "the device did not answer"},
    {Status::WriteFailed, "write failed", "the request could not be sent to the device"},
    {Status::Rejected, "rejected", "the device rejected the request (status 0xff)"},
    {Status::Malformed, "malformed", "the device found the request malformed (status 0xfe)"},
    {Status::BadArgument, "bad argument", "the request is out of range"},
    {Status::Unsupported, "unsupported", "the device reports more than this program supports"},
    {Status::Cancelled, "cancelled", "cancelled"},
    {Status::FileError, "file error", "the file could not be used"},
    {Status::BadFile, "bad file", "the file has an unknown format"},
}};

const StatusWords& wordsOf(Status status) {
    for (const auto& words : kStatusWords) {
        if (words.status == status) {
            return words;
        }
    }
    return kStatusWords[0];
}

} // namespace

std::string_view statusName(Status status) {
    return wordsOf(status).name;
}

std::string_view statusText(Status status) {
    return wordsOf(status).text;
}

Result Result::context(std::string_view where) && {
    if (!ok() && !where.empty()) {
        detail_ = detail_.empty() ? std::string(where) : std::string(where) + ", " + detail_;
    }
    return std::move(*this);
}

std::string Result::describe() const {
    std::string text(statusText(status_));
    if (errno_ != 0) {
        text += ": ";
        text += std::generic_category().message(errno_);
    }
    if (!detail_.empty()) {
        text += " (" + detail_ + ")";
    }
    return text;
}

} // namespace quellix
