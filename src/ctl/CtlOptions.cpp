#include "ctl/CtlOptions.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstdlib>

const char* const kCtlVersion = "kalvorctl 2.07";
const char* const kCtlUsage
    = "usage: kalvorctl [options] info HOST\n"
      "       kalvorctl [options] switch read|diff|write HOST FILE\n"
      "       kalvorctl [options] --hosts LIST info | switch read|diff|write FILE\n"
      "options:\n"
      "  --ro COMMUNITY     read-only community (default: $KALVOR_RO_COMMUNITY, else 582019374620)\n"
      "  --rw COMMUNITY     read-write community (default: $KALVOR_RW_COMMUNITY, else marbled)\n"
      "  --port N           UDP port of the module's agent (default: the SNMP library's)\n"
      "  --timeout SECONDS  wait for each answer (default: the SNMP library's)\n"
      "  --retries N        repeats of an unanswered request (default: the SNMP library's)\n"
      "  --hosts LIST       run for every address in LIST; {host} in FILE becomes the address\n"
      "  --json             info: one JSON object per module\n"
      "  --trace FILE       log every request and answer to FILE\n"
      "  -h, --help         this text\n"
      "  -v, --version      the version\n"
      "exit status: 0 done, 1 module did not answer (info), 2 bad command line or file,\n"
      "  3 switch read failed, 4 implausible switch data, 5 upload failed, 6 not confirmed\n";

namespace {

const char* const kDefaultRo = "582019374620";
const char* const kDefaultRw = "marbled";
constexpr size_t kMaxCommunity = 12;

bool ParseInteger(const std::string& text, long low, long high, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = strtol(text.c_str(), &end, 10);
    if (errno || *end != '\0' || !(text[0] >= '0' && text[0] <= '9') || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseSeconds(const std::string& text, long& microseconds)
{
    if (text.empty() || !(text[0] >= '0' && text[0] <= '9'))
        return false;
    char* end = nullptr;
    errno = 0;
    const double seconds = strtod(text.c_str(), &end);
    if (errno || *end != '\0' || !std::isfinite(seconds) || seconds <= 0 || seconds > 3600)
        return false;
    microseconds = std::lround(seconds * 1e6);
    return microseconds > 0;
}

CtlParse Fail(const std::string& error)
{
    CtlParse parse;
    parse.what = CtlParse::What::Error;
    parse.error = error;
    return parse;
}

}  // namespace

bool IsDottedAddress(const std::string& text)
{
    int parts = 0;
    size_t start = 0;
    while (true) {
        const size_t dot = text.find('.', start);
        const std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        long value = 0;
        if (part.size() > 3 || !ParseInteger(part, 0, 255, value))
            return false;
        ++parts;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return parts == 4;
}

bool HasHostPlaceholder(const std::string& pattern) { return pattern.find("{host}") != std::string::npos; }

std::string WithHost(const std::string& pattern, const std::string& host)
{
    std::string text = pattern;
    const std::string placeholder = "{host}";
    for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + host.size()))
        text.replace(at, placeholder.size(), host);
    return text;
}

bool ReadHostList(const std::string& path, std::vector<std::string>& hosts, std::string& error)
{
    QFile file(QString::fromLocal8Bit(path.c_str()));
    if (QFileInfo(file.fileName()).isDir() || !file.open(QIODevice::ReadOnly)) {
        error = "cannot read the host list " + path
            + (file.errorString().isEmpty() ? "" : ": " + file.errorString().toStdString());
        return false;
    }
    hosts.clear();
    int number = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        ++number;
        const int hash = line.indexOf('#');
        if (hash >= 0)
            line.truncate(hash);
        const std::string host = line.trimmed().toStdString();
        if (host.empty())
            continue;
        if (!IsDottedAddress(host)) {
            error = path + ":" + std::to_string(number) + ": not an IPv4 address: " + host;
            return false;
        }
        hosts.push_back(host);
    }
    if (hosts.empty()) {
        error = "the host list " + path + " holds no address";
        return false;
    }
    return true;
}

CtlParse ParseCtlArguments(const std::vector<std::string>& args, const std::function<const char*(const char*)>& env)
{
    CtlParse parse;
    CtlOptions& options = parse.options;
    const char* ro = env("KALVOR_RO_COMMUNITY");
    const char* rw = env("KALVOR_RW_COMMUNITY");
    options.roCommunity = ro ? ro : kDefaultRo;
    options.rwCommunity = rw ? rw : kDefaultRw;

    std::vector<std::string> words;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parse.what = CtlParse::What::Help;
            return parse;
        }
        if (arg == "-v" || arg == "--version") {
            parse.what = CtlParse::What::Version;
            return parse;
        }
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        std::string value;
        bool hasValue = false;
        const size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            hasValue = true;
        }
        static const char* const kWithValue[]
            = {"--ro", "--rw", "--port", "--timeout", "--retries", "--hosts", "--trace"};
        bool known = false;
        for (const char* name : kWithValue)
            known = known || arg == name;
        if (!known)
            return Fail("unknown option " + arg);
        if (!hasValue) {
            if (i + 1 >= args.size())
                return Fail("option " + arg + " needs a value");
            value = args[++i];
        }
        long number = 0;
        if (arg == "--ro") {
            options.roCommunity = value;
        } else if (arg == "--rw") {
            options.rwCommunity = value;
        } else if (arg == "--port") {
            if (!ParseInteger(value, 1, 65535, number))
                return Fail("--port: not a port number from 1 to 65535: " + value);
            options.port = int(number);
        } else if (arg == "--timeout") {
            if (!ParseSeconds(value, options.timeoutUs))
                return Fail("--timeout: not a number of seconds above 0: " + value);
        } else if (arg == "--retries") {
            if (!ParseInteger(value, 0, 100, number))
                return Fail("--retries: not a number from 0 to 100: " + value);
            options.retries = int(number);
        } else if (arg == "--hosts") {
            if (value.empty())
                return Fail("--hosts: no file named");
            options.hostsFile = value;
        } else if (arg == "--trace") {
            if (value.empty())
                return Fail("--trace: no file named");
            options.trace = value;
        }
    }
    // The module keeps at most 12 characters; a longer string would be cut
    // and so differ from what was typed.
    if (options.roCommunity.empty() || options.rwCommunity.empty())
        return Fail("a community string is empty");
    if (options.roCommunity.size() > kMaxCommunity)
        return Fail("--ro: the community string has more than 12 characters");
    if (options.rwCommunity.size() > kMaxCommunity)
        return Fail("--rw: the community string has more than 12 characters");

    if (words.empty())
        return Fail("no command");
    size_t next = 0;
    size_t wanted = 0;  // positional arguments after the command words
    if (words[0] == "info") {
        options.command = CtlCommand::Info;
        next = 1;
        wanted = 1;
    } else if (words[0] == "switch") {
        if (words.size() < 2)
            return Fail("switch: read, diff or write expected");
        if (words[1] == "read")
            options.command = CtlCommand::SwitchRead;
        else if (words[1] == "diff")
            options.command = CtlCommand::SwitchDiff;
        else if (words[1] == "write")
            options.command = CtlCommand::SwitchWrite;
        else
            return Fail("switch: unknown command " + words[1]);
        next = 2;
        wanted = 2;
    } else {
        return Fail("unknown command " + words[0]);
    }
    const bool fleet = !options.hostsFile.empty();
    if (fleet)
        --wanted;  // the host comes from the list
    if (options.json && options.command != CtlCommand::Info)
        return Fail("--json is for info only");
    const size_t given = words.size() - next;
    if (given < wanted)
        return Fail(std::string("missing ") + (!fleet && given == 0 ? "HOST" : "FILE"));
    if (given > wanted)
        return Fail("surplus argument " + words[next + wanted]);
    if (!fleet) {
        options.host = words[next++];
        if (!IsDottedAddress(options.host))
            return Fail("not a dotted IPv4 address: " + options.host);
    }
    if (options.command != CtlCommand::Info) {
        options.file = words[next];
        if (options.file.empty())
            return Fail("FILE is empty");
    }
    parse.what = CtlParse::What::Run;
    return parse;
}
