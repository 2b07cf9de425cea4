#include "app/recovery.h"

#include "app/workspace.h"
#include "data/textfile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

#include <unistd.h>

namespace skarvel::app {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "Skarvel recovery 1";
constexpr std::string_view kPrefix = "recovery-";
constexpr std::string_view kExtension = ".txt";

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The fields of a line, tab-separated and unescaped; nothing for a lone
// backslash or an unknown escape.
std::optional<std::vector<std::string>> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c != '\\') {
            fields.back() += c;
        } else if (++i < line.size()) {
            switch (line[i]) {
            case 't':
                fields.back() += '\t';
                break;
            case 'n':
                fields.back() += '\n';
                break;
            case 'r':
                fields.back() += '\r';
                break;
            case '\\':
                fields.back() += '\\';
                break;
            default:
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return fields;
}

// A table of the file, and the columns of it that hold data (from row 1 on);
// the captions, the units and the header row are the program's own.
struct TableEntry {
    const char* name;
    data::Table data::Tables::*table;
    int firstColumn;
    int lastColumn;
};
constexpr std::array kTables = {
    TableEntry{"input", &data::Tables::input, data::input::kValueColumn, data::input::kValueColumn},
    TableEntry{"parameter", &data::Tables::parameter, data::param::kValueColumn,
               data::param::kValueColumn},
    TableEntry{"design", &data::Tables::design, data::design::MainWing,
               data::design::NoseReinforcement}};

struct TextEntry {
    const char* key;
    std::string FileState::*text;
};
constexpr std::array kTexts = {TextEntry{"caption", &FileState::caption},
                               TextEntry{"input-file", &FileState::inputFile},
                               TextEntry{"design-file", &FileState::designFile}};
struct DialogEntry {
    const char* key;
    std::string DialogFiles::*text;
};
constexpr std::array kDialogTexts = {DialogEntry{"input-open", &DialogFiles::inputOpen},
                                     DialogEntry{"input-save", &DialogFiles::inputSave},
                                     DialogEntry{"design-open", &DialogFiles::designOpen},
                                     DialogEntry{"design-save", &DialogFiles::designSave}};

void AddLine(std::string& out, std::string_view key, std::string_view value) {
    out += key;
    out += '\t';
    out += Escaped(value);
    out += '\n';
}

// The process that wrote a recovery file still runs: a process of that
// number exists and runs the same program as this one.
bool Running(long pid) {
    if (pid <= 0 || pid == static_cast<long>(::getpid())) {
        return pid > 0;
    }
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) {
        return false;
    }
    const auto comm = [](const std::string& who) {
        std::ifstream in("/proc/" + who + "/comm");
        std::string name;
        std::getline(in, name);
        return name;
    };
    const std::string theirs = comm(std::to_string(pid));
    return theirs.empty() || theirs == comm("self");
}

// The process number in a recovery file's name; 0 for any other file.
long PidOf(const std::string& name) {
    if (name.size() <= kPrefix.size() + kExtension.size() || !name.starts_with(kPrefix) ||
        !name.ends_with(kExtension)) {
        return 0;
    }
    const std::string digits =
        name.substr(kPrefix.size(), name.size() - kPrefix.size() - kExtension.size());
    if (digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stol(digits);
}

} // namespace

fs::path RecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && fs::path(state).is_absolute()) {
        return fs::path(state) / "skarvel";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && fs::path(home).is_absolute()) {
        return fs::path(home) / ".local" / "state" / "skarvel";
    }
    return {};
}

std::string LocalTimeText(std::chrono::system_clock::time_point t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local);
    return text.data();
}

std::string RestoreQuestion(const Recovery& r) {
    const auto file = [](const char* what, const std::string& path, bool unsaved) {
        const std::string_view name = data::LastPathComponent(path);
        return std::string(what) + ": " + (name.empty() ? std::string("無題") : std::string(name)) +
               (unsaved ? "（保存されていない変更あり）" : "") + "\n";
    };
    return "前回の作業を復元しますか?\n\n" + r.written + " に書き込まれた作業\n" +
           file("入力データ", r.files.inputFile, r.unsaved.input) +
           file("設計データ", r.files.designFile, r.unsaved.design);
}

std::string RecoveryText(const Workspace& ws, const std::string& written) {
    std::string out(kHeader);
    out += '\n';
    AddLine(out, "written", written);
    const FileState& files = ws.files().state();
    for (const TextEntry& e : kTexts) {
        AddLine(out, e.key, files.*e.text);
    }
    for (const DialogEntry& e : kDialogTexts) {
        AddLine(out, e.key, files.dialogs.*e.text);
    }
    if (files.measuredMass) {
        AddLine(out, "measured-mass", *files.measuredMass);
    }
    const Unsaved unsaved = ws.files().unsaved();
    AddLine(out, "input-unsaved", unsaved.input ? "1" : "0");
    AddLine(out, "design-unsaved", unsaved.design ? "1" : "0");
    AddLine(out, "comment", ws.comment());
    for (const TableEntry& e : kTables) {
        const data::Table& table = ws.tables().*e.table;
        out += "table\t";
        out += e.name;
        out += '\t' + std::to_string(table.columnCount()) + '\t' +
               std::to_string(table.rowCount()) + '\n';
        for (int r = 0; r < table.rowCount(); ++r) {
            for (int c = 0; c < table.columnCount(); ++c) {
                if (c > 0) {
                    out += '\t';
                }
                out += Escaped(table.cell(c, r));
            }
            out += '\n';
        }
    }
    return out;
}

Recovery ReadRecovery(const std::string& path) {
    const auto broken = [&path](const std::string& why) {
        return data::FileError("回復用ファイル " + data::QuotedName(path) +
                               " が読めません: " + why);
    };
    std::istringstream in(data::ReadFileBytes(path, data::kDataFileLimit));
    std::string line;
    if (!std::getline(in, line) || line != kHeader) {
        throw broken("回復用ファイルではありません");
    }
    Recovery r;
    data::ResetTables(r.tables);
    int lineNumber = 1;
    std::array<bool, kTables.size()> seen{};
    while (std::getline(in, line)) {
        ++lineNumber;
        const auto fields = Fields(line);
        const std::string where = std::to_string(lineNumber) + " 行目";
        if (!fields || fields->size() < 2) {
            throw broken(where + "の形式が違います");
        }
        const std::string& key = fields->front();
        const std::string& value = (*fields)[1];
        if (key == "table") {
            const auto e = std::find_if(kTables.begin(), kTables.end(),
                                        [&](const TableEntry& t) { return value == t.name; });
            data::Table* table = e == kTables.end() ? nullptr : &(r.tables.*(e->table));
            if (table == nullptr || fields->size() != 4 ||
                (*fields)[2] != std::to_string(table->columnCount()) ||
                (*fields)[3] != std::to_string(table->rowCount())) {
                throw broken(where + "の表はこのプログラムの表と合いません");
            }
            seen[static_cast<std::size_t>(e - kTables.begin())] = true;
            for (int row = 0; row < table->rowCount(); ++row) {
                ++lineNumber;
                const auto cells = std::getline(in, line) ? Fields(line) : std::nullopt;
                if (!cells || cells->size() != static_cast<std::size_t>(table->columnCount())) {
                    throw broken(std::to_string(lineNumber) + " 行目の表の行が欠けています");
                }
                for (int c = e->firstColumn; row > 0 && c <= e->lastColumn; ++c) {
                    table->setCell(c, row, (*cells)[static_cast<std::size_t>(c)]);
                }
            }
            continue;
        }
        if (fields->size() != 2) {
            throw broken(where + "の形式が違います");
        }
        if (key == "written") {
            r.written = value;
        } else if (key == "comment") {
            r.comment = value;
        } else if (key == "measured-mass") {
            r.files.measuredMass = value;
        } else if (key == "input-unsaved" || key == "design-unsaved") {
            (key == "input-unsaved" ? r.unsaved.input : r.unsaved.design) = value == "1";
        } else {
            for (const TextEntry& e : kTexts) {
                if (key == e.key) {
                    r.files.*e.text = value;
                }
            }
            for (const DialogEntry& e : kDialogTexts) {
                if (key == e.key) {
                    r.files.dialogs.*e.text = value;
                }
            }
        }
    }
    if (!std::all_of(seen.begin(), seen.end(), [](bool b) { return b; })) {
        throw broken("表が欠けています");
    }
    return r;
}

std::vector<std::string> OrphanRecoveries(const fs::path& folder) {
    std::vector<std::pair<fs::file_time_type, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const long pid = PidOf(it->path().filename().string());
        std::error_code fileEc;
        if (pid == 0 || !it->is_regular_file(fileEc) || Running(pid)) {
            continue;
        }
        found.emplace_back(it->last_write_time(fileEc), it->path().string());
    }
    std::sort(found.begin(), found.end(), std::greater<>());
    std::vector<std::string> paths;
    for (auto& f : found) {
        paths.push_back(std::move(f.second));
    }
    return paths;
}

RecoveryKeeper::RecoveryKeeper(const Workspace& ws, fs::path folder, long pid)
    : folder_(std::move(folder)), revision_(ws.edits().revision()), model_(&ws.aircraft()),
      unsaved_(ws.files().unsaved()) {
    if (!folder_.empty()) {
        path_ = (folder_ / (std::string(kPrefix) + std::to_string(pid) + std::string(kExtension)))
                    .string();
    }
}

RecoveryKeeper::~RecoveryKeeper() = default;

std::optional<std::chrono::milliseconds> RecoveryKeeper::due(const Workspace& ws) const {
    if (path_.empty()) {
        return std::nullopt;
    }
    const Unsaved unsaved = ws.files().unsaved();
    if (!unsaved.any()) {
        return exists_ ? std::optional(std::chrono::milliseconds(0)) : std::nullopt;
    }
    if (model_ != &ws.aircraft()) {
        return std::chrono::milliseconds(0);
    }
    if (exists_ && revision_ == ws.edits().revision() && unsaved.input == unsaved_.input &&
        unsaved.design == unsaved_.design) {
        return std::nullopt;
    }
    return kMaxDelay;
}

void RecoveryKeeper::update(const Workspace& ws, std::chrono::system_clock::time_point now) {
    if (path_.empty()) {
        return;
    }
    const Unsaved unsaved = ws.files().unsaved();
    if (!unsaved.any()) {
        remove();
    } else {
        std::error_code ec;
        fs::create_directories(folder_, ec);
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace, ec);
        data::WriteFileBytes(path_, RecoveryText(ws, LocalTimeText(now)));
        exists_ = true;
    }
    revision_ = ws.edits().revision();
    model_ = &ws.aircraft();
    unsaved_ = unsaved;
}

void RecoveryKeeper::remove() {
    if (!path_.empty()) {
        std::error_code ec;
        fs::remove(path_, ec);
    }
    exists_ = false;
}

} // namespace skarvel::app
