#include "ctl/CtlOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kOutputFailedStatus = 2;

std::string& ProgressText()
{
    static std::string text;
    return text;
}

struct StreamState {
    bool json = false;
    bool outFailed = false;
    bool errFailed = false;
};

StreamState& Streams()
{
    static StreamState state;
    return state;
}

bool& FailedFlag(FILE* stream) { return stream == stdout ? Streams().outFailed : Streams().errFailed; }

// Puts `text` on `stream` unless it failed before; false when it fails now.
bool PutText(FILE* stream, const std::string& text);

// The first failure of `stream`, said on the other one.
void Failed(FILE* stream, int error)
{
    FailedFlag(stream) = true;
    const std::string what = std::string(stream == stdout ? "standard output" : "standard error") + ": "
        + strerror(error) + "; finishing what is in progress and starting nothing new";
    if (stream == stdout)
        PutText(stderr, "kalvorctl: " + what + "\n");
    else if (Streams().json)
        PutText(stdout, "{\"status\": " + std::to_string(kOutputFailedStatus) + ", \"error\": " + JsonString(what) + "}\n");
    else
        PutText(stdout, "kalvorctl: " + what + "\n");
}

bool PutText(FILE* stream, const std::string& text)
{
    if (FailedFlag(stream))
        return false;
    fputs(text.c_str(), stream);
    if (fflush(stream) == 0 && !ferror(stream))
        return true;
    Failed(stream, errno);
    return false;
}

void Write(FILE* stream, const std::string& line)
{
    const bool progress = !ProgressText().empty();
    if (progress)
        PutText(stderr, "\r\033[K");
    PutText(stream, line + "\n");
    if (progress)
        PutText(stderr, ProgressText());
}

}  // namespace

void CtlOutput::Line(const std::string& text) { Put(stdout, m_prefix + text); }

void CtlOutput::Raw(const std::string& text) { Put(stdout, text); }

void CtlOutput::Note(const std::string& text) { Put(stderr, text); }

void CtlOutput::Error(const std::string& host, const std::string& phase, const std::string& text)
{
    m_lastError = phase + ": " + text;
    Put(stderr, "kalvorctl: " + (host.empty() ? std::string() : host + ": ") + m_lastError);
}

void CtlOutput::Put(FILE* stream, const std::string& line)
{
    if (m_held)
        m_lines.emplace_back(stream, line);
    else
        Write(stream, line);
}

void CtlOutput::Release()
{
    m_held = false;
    for (const auto& [stream, line] : m_lines)
        Write(stream, line);
    m_lines.clear();
}

void CtlOutput::Progress(const std::string& text)
{
    if (text.empty() && ProgressText().empty())
        return;
    PutText(stderr, "\r\033[K" + text);
    ProgressText() = text;
}

bool CtlOutput::Broken() { return Streams().outFailed || Streams().errFailed; }

void CtlOutput::SetJson(bool json) { Streams().json = json; }

int StatusAfterOutput(int status) { return CtlOutput::Broken() ? std::max(status, kOutputFailedStatus) : status; }

std::string JsonString(const std::string& text)
{
    std::string json = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += char(c);
        }
    }
    return json + "\"";
}

std::string JsonArray(const std::vector<std::string>& entries)
{
    std::string json = "[";
    for (const std::string& entry : entries)
        json += (json.size() > 1 ? ", " : "") + entry;
    return json + "]";
}

std::string JsonStrings(const std::vector<std::string>& items)
{
    std::string json = "[";
    for (const std::string& item : items)
        json += (json.size() > 1 ? ", " : "") + JsonString(item);
    return json + "]";
}

std::string JsonFailure(const std::string& head, int status, const std::string& error)
{
    return "{" + head + ", \"status\": " + std::to_string(status) + ", \"error\": " + JsonString(error) + "}";
}
