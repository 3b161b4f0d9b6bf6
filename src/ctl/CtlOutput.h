#pragma once
// Where kalvorctl's lines go. A run over many modules marks every line of
// standard output with its module; errors go to standard error, one line
// each starting with "kalvorctl:", and the last one is kept for the module's
// JSON object. A module's lines may be held back while the modules before
// it in the list are still running, so that the output keeps the list's order.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

class CtlOutput {
public:
    // `prefix` goes before every line of standard output ("" or "HOST: ").
    explicit CtlOutput(std::string prefix = std::string()) : m_prefix(std::move(prefix)) { }
    void Line(const std::string& text);  // standard output, with the prefix
    void Raw(const std::string& text);  // standard output as is (one JSON object)
    void Note(const std::string& text);  // standard error as is
    // One line on standard error naming the host (when not empty) and the phase.
    void Error(const std::string& host, const std::string& phase, const std::string& text);
    // Keeps a failure that was reported elsewhere for LastError.
    void Failed(const std::string& phase, const std::string& text) { m_lastError = phase + ": " + text; }
    // "phase: text" of the last failure, or empty.
    const std::string& LastError() const { return m_lastError; }

    // Lines are held from now on until Release, which writes them and lets
    // later ones through at once.
    void Hold() { m_held = true; }
    void Release();

    // The one-line progress count on standard error (a terminal only): other
    // lines clear it while they are written and it shows again after them.
    // An empty text removes it.
    static void Progress(const std::string& text);

    // A write to standard output or standard error that fails (a pipe whose
    // reader is gone, a full disk, a closed descriptor) is said once on the
    // other stream, if that one still works (as a JSON object on standard
    // output with --json), and the stream is written no more. The run then
    // starts nothing new and ends with a status of 2 at least.
    static bool Broken();
    static void SetJson(bool json);

private:
    void Put(FILE* stream, const std::string& line);

    std::string m_prefix;
    std::string m_lastError;
    bool m_held = false;
    std::vector<std::pair<FILE*, std::string>> m_lines;
};

// `status`, raised to 2 when standard output or standard error failed.
int StatusAfterOutput(int status);

// `text` as a JSON string, quotes included.
std::string JsonString(const std::string& text);
// JSON texts `entries` as one JSON array.
std::string JsonArray(const std::vector<std::string>& entries);
// `items` as a JSON array of strings.
std::string JsonStrings(const std::vector<std::string>& items);
// The object of a failure: `head` (the keys that name what failed, such as
// "\"host\": \"127.0.0.2\""), then "status" and "error".
std::string JsonFailure(const std::string& head, int status, const std::string& error);
