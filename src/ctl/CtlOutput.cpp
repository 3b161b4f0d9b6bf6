#include "ctl/CtlOutput.h"

namespace {

std::string& ProgressText()
{
    static std::string text;
    return text;
}

void Write(FILE* stream, const std::string& line)
{
    const bool progress = !ProgressText().empty();
    if (progress)
        fputs("\r\033[K", stderr);
    fputs(line.c_str(), stream);
    fputc('\n', stream);
    fflush(stream);
    if (progress) {
        fputs(ProgressText().c_str(), stderr);
        fflush(stderr);
    }
}

}  // namespace

void CtlOutput::Line(const std::string& text) { Put(stdout, m_prefix + text); }

void CtlOutput::Raw(const std::string& text) { Put(stdout, text); }

void CtlOutput::Note(const std::string& text) { Put(stderr, text); }

void CtlOutput::Error(const std::string& host, const std::string& phase, const std::string& text)
{
    m_lastError = phase + ": " + text;
    Put(stderr, "kalvorctl: " + host + ": " + m_lastError);
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
    fputs("\r\033[K", stderr);
    fputs(text.c_str(), stderr);
    fflush(stderr);
    ProgressText() = text;
}

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
