#pragma once
// Where kalvorctl's lines go. A run over many modules marks every line of
// standard output with its module; errors go to standard error, one line
// each starting with "kalvorctl:", and the last one is kept for the module's
// JSON object.

#include <string>

class CtlOutput {
public:
    // `prefix` goes before every line of standard output ("" or "HOST: ").
    explicit CtlOutput(std::string prefix = std::string()) : m_prefix(std::move(prefix)) { }
    void Line(const std::string& text) const;  // standard output, with the prefix
    // One line on standard error naming the host and the phase.
    void Error(const std::string& host, const std::string& phase, const std::string& text);
    // Keeps a failure that was reported elsewhere for LastError.
    void Failed(const std::string& phase, const std::string& text) { m_lastError = phase + ": " + text; }
    // "phase: text" of the last failure, or empty.
    const std::string& LastError() const { return m_lastError; }

private:
    std::string m_prefix;
    std::string m_lastError;
};

// A line on standard output as is (one JSON object).
void PrintRaw(const std::string& text);
// `text` as a JSON string, quotes included.
std::string JsonString(const std::string& text);
