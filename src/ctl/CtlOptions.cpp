#include "ctl/CtlOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringList>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "ctl/CtlCommunities.h"
#include "ctl/CtlHistory.h"
#include "ctl/CtlInventory.h"
#include "snmp/ModuleAddress.h"

const char* const kCtlVersion = "kalvorctl 2.07";
const char* const kCtlUsage
    = "usage: kalvorctl [options] info HOST\n"
      "       kalvorctl [options] switch read|diff|write HOST FILE\n"
      "       kalvorctl [options] module save|diff|apply HOST FILE\n"
      "       kalvorctl [options] --hosts LIST info | switch read|diff|write FILE | module save|diff|apply FILE\n"
      "       kalvorctl [options] switch diff FILE1 FILE2 | switch show FILE   (no module)\n"
      "       kalvorctl [options] module diff FILE1 FILE2 | module show FILE   (no module)\n"
      "       kalvorctl [options] scan RANGE       (a.b.c.d/N with N >= 16, or FIRST-LAST)\n"
      "       kalvorctl [options] --history DIR switch read|module save HOST   (one commit per run)\n"
      "       kalvorctl [options] history HOST|NAME       (the versions of one module: NAME.rcs, NAME.txt)\n"
      "       kalvorctl [options] --at REV switch diff|write | module diff|apply HOST   (an earlier version)\n"
      "HOST: four decimal numbers (leading zeros allowed, 010 is ten), used as 127.0.0.10\n"
      "options:\n"
      "  --community-file FILE  lines ro=COMMUNITY and rw=COMMUNITY, private to its owner\n"
      "                     (recommended: other users see command lines)\n"
      "  --ro COMMUNITY     read-only community (default: the file, $KALVOR_RO_COMMUNITY, else 582019374620)\n"
      "  --rw COMMUNITY     read-write community (default: the file, $KALVOR_RW_COMMUNITY, else marbled)\n"
      "  --port N           UDP port of the module's agent (default: the SNMP library's)\n"
      "  --timeout SECONDS  wait for each answer (default: the SNMP library's; scan: 1)\n"
      "  --retries N        repeats of an unanswered request (default: the SNMP library's; scan: 0)\n"
      "  --hosts LIST       run for every address in LIST (- for standard input);\n"
      "                     {host} in FILE becomes the address\n"
      "  --jobs N           modules worked on at once, 1 to 256 (default 32)\n"
      "  --hosts-out FILE   write the modules that failed (scan: that answered) as a host list\n"
      "  --json             only JSON on standard output, one object per module\n"
      "  --exit-code        switch diff, module diff: status 1 when anything differs\n"
      "  --yes              module apply: write without asking (required with --hosts)\n"
      "  --with-address     module apply: write the module's own IP address too (last)\n"
      "  --trace FILE       log every request and answer to FILE (replaced)\n"
      "  --inventory FILE   CSV: address,name,group[,ro,rw] (with communities: private to its owner)\n"
      "  --group G          only the inventory's modules of group G\n"
      "  --history DIR      switch read, module save: keep the saved files in DIR, a git repository\n"
      "                     (history, --at: default /var/lib/kalvor/history)\n"
      "  --at REV           switch diff|write, module diff|apply: the module's version REV of the history\n"
      "  --on-change CMD    run CMD for every module whose saved file changed\n"
      "  --on-failure CMD   run CMD for every module that failed\n"
      "  --hook-timeout SECONDS  stop a hook after this long (default 60)\n"
      "  {date} in FILE, --trace and --hosts-out becomes the run's start, UTC (20261207T141500Z);\n"
      "  {name} in FILE the module's inventory name (else its address)\n"
      "  -h, --help         this text\n"
      "  -v, --version      the version\n"
      "exit status: 0 done, 1 module did not answer (info) or registers differ (diff --exit-code),\n"
      "  2 bad command line or file, 3 switch read failed, 4 implausible switch data,\n"
      "  5 upload failed, 6 not confirmed, 7 module apply refused or declined,\n"
      "  8 not every setting written; with --hosts the highest status of any module;\n"
      "  129/130/143 interrupted (SIGHUP/SIGINT/SIGTERM)\n";

namespace {

CtlParse Fail(const std::string& error)
{
    CtlParse parse;
    parse.what = CtlParse::What::Error;
    parse.error = error;
    return parse;
}

bool ParseInteger(const std::string& text, long low, long high, long& value)
{
    if (text.empty() || !(text[0] >= '0' && text[0] <= '9'))
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = strtol(text.c_str(), &end, 10);
    if (errno || *end != '\0' || parsed < low || parsed > high)
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

// The options that take a value, checked in this order; `take` stores the
// value and returns false when it is not one.
struct ValueOption {
    const char* name;
    const char* valueName;
    const char* refusal;  // after "--name: "
    std::function<bool(const std::string& value, CtlOptions& options)> take;
};

// Stores a value that is not empty in `member`.
std::function<bool(const std::string&, CtlOptions&)> NonEmpty(std::string CtlOptions::*member)
{
    return [member](const std::string& value, CtlOptions& options) {
        return !value.empty() && ((options.*member = value), true);
    };
}

const std::vector<ValueOption>& ValueOptions()
{
    static const std::vector<ValueOption> options = {
        {"ro", "COMMUNITY", "", nullptr},
        {"rw", "COMMUNITY", "", nullptr},
        {"community-file", "FILE", "no file named", [](const std::string& v, CtlOptions&) { return !v.empty(); }},
        {"port", "N", "not a port number from 1 to 65535",
            [](const std::string& v, CtlOptions& o) {
                long n = 0;
                return ParseInteger(v, 1, 65535, n) && ((o.port = int(n)), true);
            }},
        {"timeout", "SECONDS", "not a number of seconds above 0",
            [](const std::string& v, CtlOptions& o) { return ParseSeconds(v, o.timeoutUs); }},
        {"retries", "N", "not a number from 0 to 100",
            [](const std::string& v, CtlOptions& o) {
                long n = 0;
                return ParseInteger(v, 0, 100, n) && ((o.retries = int(n)), true);
            }},
        {"jobs", "N", "not a number of modules from 1 to 256",
            [](const std::string& v, CtlOptions& o) {
                long n = 0;
                return ParseInteger(v, 1, kMaxJobs, n) && ((o.jobs = int(n)), true);
            }},
        {"hosts", "LIST", "no file named", NonEmpty(&CtlOptions::hostsFile)},
        {"hosts-out", "FILE", "no file named", NonEmpty(&CtlOptions::hostsOut)},
        {"trace", "FILE", "no file named", NonEmpty(&CtlOptions::trace)},
        {"inventory", "FILE", "no file named", NonEmpty(&CtlOptions::inventory)},
        {"group", "G", "no group named", NonEmpty(&CtlOptions::group)},
        {"history", "DIR", "no folder named", NonEmpty(&CtlOptions::history)},
        {"at", "REV", "no version named", NonEmpty(&CtlOptions::at)},
        {"on-change", "CMD", "no command given", NonEmpty(&CtlOptions::onChange)},
        {"on-failure", "CMD", "no command given", NonEmpty(&CtlOptions::onFailure)},
        {"hook-timeout", "SECONDS", "not a number of seconds above 0",
            [](const std::string& v, CtlOptions& o) { return ParseSeconds(v, o.hookTimeoutUs); }},
    };
    return options;
}

std::string Local(const QString& text) { return text.toLocal8Bit().toStdString(); }

// QCommandLineParser's own error in our words: the option it names.
std::string ParserError(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return "unknown option " + std::string(unknown.first().size() == 1 ? "-" : "--") + Local(unknown.first());
    const QRegularExpressionMatch named = QRegularExpression("'([^']*)'").match(parser.errorText());
    const std::string option = Local(named.captured(1));
    if (parser.errorText().startsWith("Missing value"))
        return "option " + option + " needs a value";
    if (parser.errorText().startsWith("Unexpected value"))
        return "option " + option + " takes no value";
    return Local(parser.errorText());
}

// Text made of digits and dots only is meant as an address.
bool LooksLikeAddress(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
}

struct CommandShape {
    const char* words;  // the command words, blank-separated
    CtlCommand command;
    size_t arguments;  // after the command words, without --hosts
    bool withHost;  // the first argument is HOST (left out with --hosts)
};
const CommandShape kCommands[] = {
    {"info", CtlCommand::Info, 1, true},
    {"switch read", CtlCommand::SwitchRead, 2, true},
    {"switch diff", CtlCommand::SwitchDiff, 2, true},
    {"switch write", CtlCommand::SwitchWrite, 2, true},
    {"switch show", CtlCommand::SwitchShow, 1, false},
    {"module save", CtlCommand::ModuleSave, 2, true},
    {"module diff", CtlCommand::ModuleDiff, 2, true},
    {"module apply", CtlCommand::ModuleApply, 2, true},
    {"module show", CtlCommand::ModuleShow, 1, false},
    {"scan", CtlCommand::Scan, 1, false},
    {"history", CtlCommand::History, 1, false},
};

// The command of `words`; its shape, or an error.
const CommandShape* FindCommand(const std::vector<std::string>& words, std::string& error)
{
    if (words.empty()) {
        error = "no command";
        return nullptr;
    }
    bool group = false;  // a command of two words whose first word matches
    for (const CommandShape& shape : kCommands) {
        const std::string text = shape.words;
        const size_t blank = text.find(' ');
        if (words[0] != text.substr(0, blank))
            continue;
        group = blank != std::string::npos;
        if (!group || (words.size() > 1 && words[1] == text.substr(blank + 1)))
            return &shape;
    }
    if (!group)
        error = "unknown command " + words[0];
    else if (words.size() < 2)
        error = words[0]
            + (words[0] == "switch" ? ": read, diff, write or show expected" : ": save, diff, apply or show expected");
    else
        error = words[0] + ": unknown command " + words[1];
    return nullptr;
}

// history's HOST|NAME: an address in canonical form, or a name.
std::string TakeModuleName(const std::string& given, CtlOptions& options)
{
    if (!LooksLikeAddress(given)) {
        options.name = given;
        return CheckModuleName(given);
    }
    const ModuleAddressParse address = ParseModuleAddress(given);
    options.host = address.address;
    return address.Accepted() ? std::string() : address.error;
}

// The positional arguments after the command words.
std::string TakeArguments(const CommandShape& shape, std::vector<std::string> given, CtlOptions& options)
{
    const bool fleet = options.Fleet();
    bool withHost = shape.withHost && !fleet;
    const bool diff = shape.command == CtlCommand::SwitchDiff || shape.command == CtlCommand::ModuleDiff;
    if (diff && !fleet && !given.empty() && !LooksLikeAddress(given[0]))
        withHost = false;  // two files, no module
    // A saving command with --history, or one that compares or writes with --at.
    const CtlSavedKind* kind = SavedKind(shape.command);
    const bool fileFromHistory = kind && (kind->save == shape.command ? !options.history.empty() : !options.at.empty());
    const size_t wanted = shape.arguments - (shape.withHost && fleet ? 1 : 0) - (fileFromHistory ? 1 : 0);
    if (fileFromHistory && given.size() == wanted + 1)
        return options.at.empty()
            ? std::string(shape.words) + " --history keeps the files in the history folder: leave out FILE"
            : "--at takes the file from the history: leave out FILE";
    if (given.size() < wanted) {
        if (shape.command == CtlCommand::Scan)
            return "missing RANGE";
        return std::string("missing ") + (withHost && given.empty() ? "HOST" : "FILE");
    }
    if (given.size() > wanted)
        return "surplus argument " + given[wanted];
    size_t next = 0;
    if (withHost) {
        const ModuleAddressParse address = ParseModuleAddress(given[next++]);
        if (!address.Accepted())
            return address.error;
        options.host = address.address;
    }
    if (shape.command == CtlCommand::Scan) {
        options.range = given[next];
        return std::string();
    }
    if (shape.command == CtlCommand::History)
        return TakeModuleName(given[next], options);
    if (shape.command == CtlCommand::Info || fileFromHistory)
        return std::string();
    options.file = given[next++];
    if (next < given.size())
        options.otherFile = given[next];
    if (options.file.empty() || (next < given.size() && options.otherFile.empty()))
        return "FILE is empty";
    return std::string();
}

// What goes with what.
std::string CheckCombination(const CtlOptions& options)
{
    if (options.exitCode && !options.Diff())
        return "--exit-code is for switch diff and module diff only";
    if ((options.yes || options.withAddress) && options.command != CtlCommand::ModuleApply)
        return std::string(options.yes ? "--yes" : "--with-address") + " is for module apply only";
    if (options.command == CtlCommand::ModuleApply && options.Fleet() && !options.yes)
        return "module apply with --hosts needs --yes (the changes are not asked about module by module)";
    if (options.Fleet() && options.command == CtlCommand::Scan)
        return "--hosts does not go with scan (scan finds the hosts; --hosts-out writes them)";
    if (options.Fleet() && (options.command == CtlCommand::SwitchShow || options.command == CtlCommand::ModuleShow))
        return "--hosts does not go with switch show or module show";
    if (!options.hostsOut.empty() && !options.Fleet() && options.command != CtlCommand::Scan)
        return "--hosts-out is for --hosts, --inventory and scan";
    return CheckRecordOptions(options);
}

}  // namespace

const char* CommandWords(CtlCommand command)
{
    for (const CommandShape& shape : kCommands)
        if (shape.command == command)
            return shape.words;
    return "";
}

bool HasHostPlaceholder(const std::string& pattern) { return pattern.find("{host}") != std::string::npos; }

bool HasModulePlaceholder(const std::string& pattern)
{
    return HasHostPlaceholder(pattern) || pattern.find("{name}") != std::string::npos;
}

std::string Expanded(
    const std::string& pattern, const std::string& host, const std::string& date, const std::string& name)
{
    std::string text = pattern;
    for (const auto& [placeholder, value] : {std::pair<std::string, std::string> {"{host}", host}, {"{date}", date},
             {"{name}", name.empty() ? host : name}})
        for (size_t at = text.find(placeholder); at != std::string::npos;
             at = text.find(placeholder, at + value.size()))
            text.replace(at, placeholder.size(), value);
    return text;
}

std::string RunDate()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc {};
    gmtime_r(&now, &utc);
    char text[32];
    strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return text;
}

CtlParse ParseCtlArguments(const std::vector<std::string>& args, const std::function<const char*(const char*)>& env)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const ValueOption& option : ValueOptions())
        parser.addOption(QCommandLineOption(option.name, QString(), option.valueName));
    for (const char* flag : {"json", "exit-code", "yes", "with-address"})
        parser.addOption(QCommandLineOption(flag));
    parser.addOption(QCommandLineOption(QStringList {"h", "help"}));
    parser.addOption(QCommandLineOption(QStringList {"v", "version"}));
    QStringList arguments {"kalvorctl"};
    for (const std::string& arg : args)
        arguments << QString::fromLocal8Bit(arg.c_str());
    if (!parser.parse(arguments))
        return Fail(ParserError(parser));
    CtlParse parse;
    if (parser.isSet("help") || parser.isSet("version")) {
        parse.what = parser.isSet("help") ? CtlParse::What::Help : CtlParse::What::Version;
        return parse;
    }
    CtlOptions& options = parse.options;
    options.json = parser.isSet("json");
    options.exitCode = parser.isSet("exit-code");
    options.yes = parser.isSet("yes");
    options.withAddress = parser.isSet("with-address");
    std::string values[2];
    CtlCommunitySources communities;
    for (const ValueOption& option : ValueOptions()) {
        if (!parser.isSet(option.name))
            continue;
        const std::string value = Local(parser.value(option.name));
        const std::string name = option.name;
        if (name == "ro" || name == "rw")
            *(name == "ro" ? &communities.roOption : &communities.rwOption) = &(values[name == "rw"] = value);
        else if (name == "community-file")
            communities.file = value;
        if (option.take && !option.take(value, options))
            return Fail("--" + name + ": " + option.refusal + (value.empty() ? "" : ": " + value));
    }
    std::vector<std::string> words;
    for (const QString& word : parser.positionalArguments())
        words.push_back(Local(word));
    std::string error;
    const CommandShape* shape = FindCommand(words, error);
    if (!shape)
        return Fail(error);
    options.command = shape->command;
    const size_t skip = std::string(shape->words).find(' ') == std::string::npos ? 1 : 2;
    error = TakeArguments(*shape, std::vector<std::string>(words.begin() + long(skip), words.end()), options);
    if (error.empty())
        error = CheckCombination(options);
    if (error.empty() && !options.Offline())
        TakeCommunities(communities, env, options.roCommunity, options.rwCommunity, error);
    if (!error.empty())
        return Fail(error);
    parse.what = CtlParse::What::Run;
    return parse;
}
