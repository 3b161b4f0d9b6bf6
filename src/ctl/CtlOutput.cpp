#include "ctl/CtlOutput.h"

#include <cstdio>

void CtlOutput::Line(const std::string& text) const
{
    fprintf(stdout, "%s%s\n", m_prefix.c_str(), text.c_str());
    fflush(stdout);
}

void CtlOutput::Error(const std::string& host, const std::string& phase, const std::string& text)
{
    m_lastError = phase + ": " + text;
    fprintf(stderr, "kalvorctl: %s: %s\n", host.c_str(), m_lastError.c_str());
    fflush(stderr);
}

void PrintRaw(const std::string& text)
{
    fprintf(stdout, "%s\n", text.c_str());
    fflush(stdout);
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
