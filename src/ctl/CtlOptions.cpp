#include "ctl/CtlOptions.h"

#include <QString>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "snmp/ModuleAddress.h"

const char* const kCtlVersion = "kalvorctl 2.07";
const char* const kCtlUsage
    = "usage: kalvorctl [options] info HOST\n"
      "       kalvorctl [options] switch read|diff|write HOST FILE\n"
      "       kalvorctl [options] --hosts LIST info | switch read|diff|write FILE\n"
      "HOST: four decimal numbers (leading zeros allowed, 010 is ten), used as 127.0.0.10\n"
      "options:\n"
      "  --ro COMMUNITY     read-only community (default: $KALVOR_RO_COMMUNITY, else 582019374620)\n"
      "  --rw COMMUNITY     read-write community (default: $KALVOR_RW_COMMUNITY, else marbled)\n"
      "  --port N           UDP port of the module's agent (default: the SNMP library's)\n"
      "  --timeout SECONDS  wait for each answer (default: the SNMP library's)\n"
      "  --retries N        repeats of an unanswered request (default: the SNMP library's)\n"
      "  --hosts LIST       run for every address in LIST (- for standard input);\n"
      "                     {host} in FILE becomes the address\n"
      "  --json             info: only JSON on standard output, one object per module\n"
      "  --trace FILE       log every request and answer to FILE (replaced)\n"
      "  -h, --help         this text\n"
      "  -v, --version      the version\n"
      "exit status: 0 done, 1 module did not answer (info), 2 bad command line or file,\n"
      "  3 switch read failed, 4 implausible switch data, 5 upload failed, 6 not confirmed;\n"
      "  with --hosts the highest status of any module; 130/143 interrupted (SIGINT/SIGTERM)\n";

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

// One line of `file` without its line end; false at the end of the stream.
bool ReadLine(FILE* file, std::string& line)
{
    line.clear();
    int c = 0;
    while ((c = fgetc(file)) != EOF && c != '\n')
        line += char(c);
    return c != EOF || !line.empty();
}

std::string Trimmed(const std::string& text)
{
    const char* const blanks = " \t\r\f\v";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
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

// A community string and where it came from (an option or a variable).
struct Community {
    std::string source;
    std::string text;  // as given, in the local encoding

    // The module keeps at most 12 characters of one byte each (Latin-1): a
    // longer string or another character would be stored otherwise than
    // typed. `bytes` receives the Latin-1 bytes.
    bool Take(std::string& bytes, std::string& error) const
    {
        const QString characters = QString::fromLocal8Bit(text.c_str());
        bool latin1 = true;
        for (const QChar c : characters)
            latin1 = latin1 && c.unicode() <= 0xFF;
        if (text.empty())
            error = source + (source.rfind("--", 0) == 0 ? ": the community string is empty" : " is set but empty");
        else if (!latin1)
            error = source + ": the community string holds a character outside Latin-1, which the module cannot store";
        else if (characters.size() > qsizetype(kMaxCommunity))
            error = source + ": the community string has more than 12 characters";
        bytes = characters.toLatin1().toStdString();
        return error.empty();
    }
};

CtlParse Fail(const std::string& error)
{
    CtlParse parse;
    parse.what = CtlParse::What::Error;
    parse.error = error;
    return parse;
}

}  // namespace

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
    const bool standardInput = path == "-";
    const std::string name = standardInput ? std::string("standard input") : path;
    struct stat info {};
    FILE* file = standardInput ? stdin : fopen(path.c_str(), "r");
    if (!file || (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode))) {
        error = "cannot read the host list " + name + ": " + (file ? "a folder" : strerror(errno));
        if (file)
            fclose(file);
        return false;
    }
    hosts.clear();
    error.clear();
    int number = 0;
    for (std::string line; error.empty() && ReadLine(file, line);) {
        ++number;
        const std::string host = Trimmed(line.substr(0, line.find('#')));
        if (host.empty())
            continue;
        const ModuleAddressParse address = ParseModuleAddress(host);
        if (!address.Accepted())
            error = name + ":" + std::to_string(number) + ": " + address.error;
        hosts.push_back(address.address);
    }
    if (error.empty() && ferror(file))
        error = "cannot read the host list " + name + ": " + strerror(errno);
    if (!standardInput)
        fclose(file);
    if (error.empty() && hosts.empty())
        error = "the host list " + name + " holds no address";
    return error.empty();
}

CtlParse ParseCtlArguments(const std::vector<std::string>& args, const std::function<const char*(const char*)>& env)
{
    CtlParse parse;
    CtlOptions& options = parse.options;
    Community ro {"KALVOR_RO_COMMUNITY", kDefaultRo};
    Community rw {"KALVOR_RW_COMMUNITY", kDefaultRw};
    for (Community* community : {&ro, &rw})
        if (const char* value = env(community->source.c_str()))
            community->text = value;

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
        if (arg == "--ro" || arg == "--rw") {
            (arg == "--ro" ? ro : rw) = Community {arg, value};
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
    std::string error;
    if (!ro.Take(options.roCommunity, error) || !rw.Take(options.rwCommunity, error))
        return Fail(error);

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
        const ModuleAddressParse address = ParseModuleAddress(words[next++]);
        if (!address.Accepted())
            return Fail(address.error);
        options.host = address.address;
    }
    if (options.command != CtlCommand::Info) {
        options.file = words[next];
        if (options.file.empty())
            return Fail("FILE is empty");
    }
    parse.what = CtlParse::What::Run;
    return parse;
}
