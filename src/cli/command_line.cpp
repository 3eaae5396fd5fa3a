#include "cli/command_line.h"

#include "convert/device_formats.h"
#include "copy/existing_file_policy.h"
#include "plan/size_limit.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "texts/text_table.h"

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <random>
#include <string_view>
#include <utility>

namespace cli {

const char* const UsageText = R"(Использование:
  tunewagon-cli [ПАРАМЕТРЫ] --playlist ФАЙЛ  ПРИЕМНИК
  tunewagon-cli [ПАРАМЕТРЫ] --folder ПАПКА   ПРИЕМНИК
  tunewagon-cli [ПАРАМЕТРЫ] --files ФАЙЛ... --to ПРИЕМНИК

  --levels N            сохранить N уровней папок источника (0..255; по умолчанию 1)
  --flat                без подпапок
  --rename              переименовать по описанию в плейлисте
  --keep-numbered       не переименовывать, если имя файла начинается с номера
  --number              добавить порядковый номер в начало имени
  --invalid remove|space|underscore      некорректные символы: удалять, пробел, "_"
                                         (по умолчанию remove)
  --limit МБ | --auto-limit              ограничение размера (по умолчанию нет)
  --limit-time МИН      ограничение по времени звучания в минутах (74, 80 или 74:00)
  --mode copy|system-copy|move           свое копирование, системное копирование,
                                         перемещение (по умолчанию system-copy)
  --exists overwrite|rename|skip         если файл существует: перезаписать,
                                         переименовать, пропустить (по умолчанию rename)
  --no-playlist         не создавать _playlist_.m3u
  --playlist-paths relative|absolute     пути в _playlist_.m3u (по умолчанию relative)
  --convert mp3|ogg|opus[:КАЧЕСТВО]      преобразовать звуковые файлы: mp3 (VBR v0..v9
                                         или CBR 128..320, по умолчанию v2), ogg (q0..q10,
                                         по умолчанию q5), opus (64..256 кбит/с, по
                                         умолчанию 128); например mp3:v0, mp3:192, opus:96
  --convert-only-unplayable РАСШ,РАСШ    преобразовать только то, чего устройство
                                         не играет (например mp3 или mp3,m4a,ogg,opus,flac)
  --jobs N              преобразований одновременно (по умолчанию по числу ядер)
  --verify              прочитать каждую копию с устройства и сравнить с исходным файлом
  --flush               в конце записать данные на устройство и на несъемном томе
  --drive D:=ПАПКА      диск D: плейлистов с другого компьютера - эта папка
                        (можно повторять)
  --list                построить список и вывести его, ничего не копируя
                        (пятый столбец - чего не примет том приемника,
                        шестой - состояние строки, седьмой - время
                        по тегам файла; в конце - итоги)
  --sort description|source|size|time    упорядочить список (по описанию, по пути
                                         источника, по размеру, по времени)
  --shuffle[=SEED]      перемешать список; одно и то же SEED дает тот же порядок
                        (без SEED - случайный порядок, SEED пишется в журнал)
  --no-tags             не читать теги файлов (описания и длительность)
  --describe ФОРМАТ     описание из тегов для записей без описания в плейлисте
                        (по умолчанию "%artist% - %title%"; еще %album%, %track%,
                        %disc%, %year%, %filename%)
  --tags-win            описание из тегов и там, где оно есть в плейлисте
  --check               вывести только то, чего не примет том приемника
                        (слишком большие файлы, недопустимые имена, имена,
                        различающиеся только регистром), ничего не копируя
  --help                показать эту справку
  --version             показать версию программы

Коды завершения: 0 копирование завершено; 1 прервано или приемник отклонен;
2 ошибка в командной строке; 3 источник не прочитан; 4 копирование завершено, но
есть файлы с ошибками или не найденные (см. последнюю строку журнала), или --check
нашел то, чего не примет том приемника.
)";

namespace {

constexpr int DriveFolderMissingText = 226;
constexpr int ShuffleUsageText = 373;
constexpr int LimitTimeUsageText = 374;
constexpr int ConvertUsageText = 408;
constexpr int PlayedListUsageText = 409;
constexpr int JobsUsageText = 410;
constexpr int ConvertOnlyText = 411;

// Everything the command line said, as written, before it is checked as a whole.
struct Given {
    std::vector<std::pair<int32_t, std::vector<std::string>>> sources; // kind, host paths
    std::vector<std::string> dests;                                    // host paths
    std::optional<int> levels;
    bool flat = false;
    bool rename = false;
    bool keepNumbered = false;
    bool number = false;
    plan::InvalidCharAction invalid = plan::InvalidCharAction::Delete;
    std::optional<std::string> limit;
    bool autoLimit = false;
    int64_t timeLimit = 0;
    copy::TransferMode mode = copy::TransferSystemCopy;
    copy::ExistAction exists = copy::ExistRename;
    bool noPlaylist = false;
    bool verify = false;
    bool flush = false;
    copy::PlaylistPaths playlistPaths = copy::PlaylistPaths::Relative;
    std::vector<platform::DriveMapping> drives;
    bool list = false;
    bool check = false;
    std::optional<plan::SortKey> sort;
    std::optional<uint32_t> shuffleSeed;
    bool noTags = false;
    bool tagsWin = false;
    std::optional<std::string> describe;
    std::optional<convert::ConvertFormat> convert;
    std::optional<std::vector<std::string>> playedOnly; // --convert-only-unplayable
    std::optional<unsigned> jobs;
    bool help = false;
    bool version = false;
};

template <typename T>
T choose(std::string_view option, std::string_view value,
         std::initializer_list<std::pair<std::string_view, T>> choices) {
    std::string names;
    for (const auto& [name, result] : choices) {
        if (value == name) {
            return result;
        }
        names += (names.empty() ? "" : "|") + std::string(name);
    }
    throw UsageError(std::string(option) + ": ожидается " + names + ", а не \"" + std::string(value) + "\"");
}

// The user's cache folder for the tags (a program path), made when missing; "" when there is
// none to be had, and the build then reads every file's tags.
std::string tagCacheFolder() {
    std::string folder;
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/') {
        folder = std::string(cache) + "/tunewagon";
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        folder = std::string(home) + "/.cache/tunewagon";
    } else {
        return {};
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return error ? std::string() : platform::toProgramPath(folder);
}

// A value of decimal digits only, at most `maxDigits` of them; nullopt for anything else.
std::optional<uint64_t> decimalValue(std::string_view value, size_t maxDigits) {
    if (value.empty() || value.size() > maxDigits) {
        return std::nullopt;
    }
    uint64_t number = 0;
    for (char c : value) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    return number;
}

uint32_t shuffleSeed(std::string_view value) {
    const std::optional<uint64_t> seed = decimalValue(value, 10);
    if (!seed || *seed > UINT32_MAX) {
        throw UsageError(texts::formatTextOnce(ShuffleUsageText, {std::string(value)}));
    }
    return static_cast<uint32_t>(*seed);
}

int folderLevels(std::string_view value) {
    const std::optional<uint64_t> levels = decimalValue(value, 3);
    if (!levels || *levels > 255) {
        throw UsageError("--levels: ожидается целое число от 0 до 255, а не \"" + std::string(value) + "\"");
    }
    return static_cast<int>(*levels);
}

// Megabytes: digits with at most one decimal point ("." or ","). The window silently takes a
// text it cannot read as no limit; on a command line that is a mistake worth saying.
std::string megabytes(std::string_view value) {
    int digits = 0;
    int points = 0;
    for (char c : value) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' || c == ',') {
            ++points;
        } else {
            digits = 0;
            break;
        }
    }
    if (digits == 0 || points > 1) {
        throw UsageError("--limit: ожидается размер в мегабайтах, например 700 или 4.7, а не \"" +
                         std::string(value) + "\"");
    }
    return std::string(value);
}

convert::ConvertFormat convertFormat(std::string_view value) {
    const std::optional<convert::ConvertFormat> format = convert::parseConvertFormat(value);
    if (!format) {
        throw UsageError(texts::formatTextOnce(ConvertUsageText, {std::string(value)}));
    }
    return *format;
}

std::vector<std::string> playedExtensionList(std::string_view value) {
    std::optional<std::vector<std::string>> list = convert::parseExtensionList(value);
    if (!list || list->empty()) {
        throw UsageError(texts::formatTextOnce(PlayedListUsageText, {std::string(value)}));
    }
    return std::move(*list);
}

constexpr unsigned MostJobs = 64;

unsigned conversionJobs(std::string_view value) {
    const std::optional<uint64_t> jobs = decimalValue(value, 2);
    if (!jobs || *jobs < 1 || *jobs > MostJobs) {
        throw UsageError(
            texts::formatTextOnce(JobsUsageText, {std::to_string(MostJobs), std::string(value)}));
    }
    return static_cast<unsigned>(*jobs);
}

using FlagStep = void (*)(Given&);
using ValueStep = void (*)(Given&, std::string_view);

const std::map<std::string_view, FlagStep> Flags = {
    {"--flat", [](Given& g) { g.flat = true; }},
    {"--rename", [](Given& g) { g.rename = true; }},
    {"--keep-numbered", [](Given& g) { g.keepNumbered = true; }},
    {"--number", [](Given& g) { g.number = true; }},
    {"--auto-limit", [](Given& g) { g.autoLimit = true; }},
    {"--no-playlist", [](Given& g) { g.noPlaylist = true; }},
    {"--verify", [](Given& g) { g.verify = true; }},
    {"--flush", [](Given& g) { g.flush = true; }},
    {"--list", [](Given& g) { g.list = true; }},
    {"--check", [](Given& g) { g.check = true; }},
    {"--no-tags", [](Given& g) { g.noTags = true; }},
    {"--tags-win", [](Given& g) { g.tagsWin = true; }},
    {"--help", [](Given& g) { g.help = true; }},
    {"-h", [](Given& g) { g.help = true; }},
    {"--version", [](Given& g) { g.version = true; }},
};

const std::map<std::string_view, ValueStep> ValueOptions = {
    {"--playlist",
     [](Given& g, std::string_view v) {
         g.sources.push_back({sources::PlaylistSource, {std::string(v)}});
     }},
    {"--folder",
     [](Given& g, std::string_view v) {
         g.sources.push_back({sources::FolderSource, {std::string(v)}});
     }},
    {"--to", [](Given& g, std::string_view v) { g.dests.emplace_back(v); }},
    {"--levels", [](Given& g, std::string_view v) { g.levels = folderLevels(v); }},
    {"--limit", [](Given& g, std::string_view v) { g.limit = megabytes(v); }},
    {"--invalid",
     [](Given& g, std::string_view v) {
         using enum plan::InvalidCharAction;
         g.invalid = choose<plan::InvalidCharAction>(
             "--invalid", v,
             {{"remove", Delete}, {"space", ReplaceWithSpace}, {"underscore", ReplaceWithUnderscore}});
     }},
    {"--mode",
     [](Given& g, std::string_view v) {
         g.mode = choose<copy::TransferMode>("--mode", v,
                                             {{"copy", copy::TransferOwnCopy},
                                              {"system-copy", copy::TransferSystemCopy},
                                              {"move", copy::TransferSystemMove}});
     }},
    {"--playlist-paths",
     [](Given& g, std::string_view v) {
         g.playlistPaths = choose<copy::PlaylistPaths>(
             "--playlist-paths", v,
             {{"relative", copy::PlaylistPaths::Relative}, {"absolute", copy::PlaylistPaths::Absolute}});
     }},
    {"--drive",
     [](Given& g, std::string_view v) {
         auto mapping = platform::parseDriveMapping(v);
         if (!mapping) {
             throw UsageError("--drive: ожидается буква от A до Y и папка, например D:=/mnt/old, а не \"" +
                              std::string(v) + "\"");
         }
         // A drive on no folder would make every line on it missing, and the run refuse its
         // paths with no word of why.
         if (!platform::folderExists(platform::toProgramPath(mapping->hostFolder))) {
             throw UsageError(texts::FormatText(DriveFolderMissingText,
                                                {std::string{mapping->letter, ':'}, mapping->hostFolder}));
         }
         g.drives.push_back(std::move(*mapping));
     }},
    {"--limit-time",
     [](Given& g, std::string_view v) {
         const std::string text(v);
         g.timeLimit = plan::timeLimitFromText(text.find(':') == std::string::npos ? text + " min" : text);
         if (g.timeLimit <= 0) {
             throw UsageError(texts::formatTextOnce(LimitTimeUsageText, {text}));
         }
     }},
    {"--describe", [](Given& g, std::string_view v) { g.describe = std::string(v); }},
    {"--convert", [](Given& g, std::string_view v) { g.convert = convertFormat(v); }},
    {"--convert-only-unplayable",
     [](Given& g, std::string_view v) { g.playedOnly = playedExtensionList(v); }},
    {"--jobs", [](Given& g, std::string_view v) { g.jobs = conversionJobs(v); }},
    {"--sort",
     [](Given& g, std::string_view v) {
         g.sort = choose<plan::SortKey>("--sort", v,
                                        {{"description", plan::SortKey::Description},
                                         {"source", plan::SortKey::Source},
                                         {"size", plan::SortKey::Size},
                                         {"time", plan::SortKey::Time}});
     }},
    {"--exists",
     [](Given& g, std::string_view v) {
         g.exists = choose<copy::ExistAction>(
             "--exists", v,
             {{"overwrite", copy::ExistOverwrite}, {"rename", copy::ExistRename}, {"skip", copy::ExistSkip}});
     }},
};

bool isOption(std::string_view word) {
    return word.size() > 1 && word.front() == '-';
}

Given readWords(const std::vector<std::string>& args) {
    Given given;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!isOption(word)) {
            given.dests.push_back(word);
            continue;
        }
        size_t equals = word.find('=');
        std::string name = word.substr(0, equals);
        std::optional<std::string> attached;
        if (equals != std::string::npos) {
            attached = word.substr(equals + 1);
        }
        if (name == "--files" && !attached) {
            std::vector<std::string> files;
            while (i + 1 < args.size() && !std::string_view(args[i + 1]).starts_with("--")) {
                files.push_back(args[++i]);
            }
            given.sources.push_back({sources::PickedFilesSource, std::move(files)});
        } else if (name == "--shuffle") {
            given.shuffleSeed = attached ? shuffleSeed(*attached) : std::random_device{}();
        } else if (auto flag = Flags.find(name); flag != Flags.end() && !attached) {
            flag->second(given);
        } else if (auto option = ValueOptions.find(name); option != ValueOptions.end()) {
            if (!attached && i + 1 >= args.size()) {
                throw UsageError(name + ": не указано значение");
            }
            option->second(given, attached ? *attached : args[++i]);
        } else {
            throw UsageError("неизвестный параметр \"" + word + "\"");
        }
    }
    return given;
}

std::string programPath(const std::string& hostPath) {
    if (hostPath.empty()) {
        throw UsageError("пустая строка не называет ни файла, ни папки");
    }
    return platform::toProgramPath(hostPath);
}

void checkWhole(const Given& given) {
    if (given.sources.size() != 1) {
        throw UsageError("укажите один источник: --playlist ФАЙЛ, --folder ПАПКА или --files ФАЙЛ...");
    }
    if (given.sources.front().second.empty()) {
        throw UsageError("--files: укажите хотя бы один файл");
    }
    if (given.dests.size() != 1) {
        throw UsageError(given.dests.empty()
                             ? "укажите папку приемника"
                             : "укажите одну папку приемника, а не " + std::to_string(given.dests.size()));
    }
    if (given.flat && given.levels) {
        throw UsageError("--flat и --levels исключают друг друга");
    }
    if (given.limit && given.autoLimit) {
        throw UsageError("--limit и --auto-limit исключают друг друга");
    }
    if (!given.convert && (given.playedOnly || given.jobs)) {
        throw UsageError(texts::formatTextOnce(
            ConvertOnlyText, {std::string(given.playedOnly ? "--convert-only-unplayable" : "--jobs")}));
    }
}

convert::ConversionChoice conversionChoice(const Given& given) {
    return {.format = given.convert,
            .which = given.playedOnly ? convert::ConvertWhich::Unplayable : convert::ConvertWhich::All,
            .played = given.playedOnly.value_or(std::vector<std::string>{}),
            .jobs = given.jobs.value_or(0)};
}

sources::SourceChoice sourceChoice(int32_t kind, const std::vector<std::string>& hostPaths) {
    sources::SourceChoice source;
    source.kind = kind;
    if (kind == sources::PlaylistSource) {
        source.playlistPath = programPath(hostPaths.front());
    } else if (kind == sources::FolderSource) {
        source.folderPath = programPath(hostPaths.front());
    } else {
        for (const std::string& path : hostPaths) {
            source.pickedFiles.push_back(programPath(path));
        }
    }
    return source;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    const Given given = readWords(args);
    CommandLine line;
    if (given.version) {
        line.version = true;
        return line;
    }
    if (given.help) {
        line.help = true;
        return line;
    }
    checkWhole(given);
    // A source below a mounted folder is named on that drive, as the playlist's lines are.
    platform::mountDriveMappings(given.drives);
    line.drives = given.drives;
    line.source = sourceChoice(given.sources.front().first, given.sources.front().second);
    const std::string dest = programPath(given.dests.front());
    line.naming.destFolder = dest;
    line.naming.renameByDescription = given.rename;
    line.naming.keepNamesStartingWithDigit = given.keepNumbered;
    line.naming.prefixListNumber = given.number;
    line.naming.keepFolderLevels = !given.flat;
    line.naming.folderLevels = given.levels.value_or(1);
    line.naming.invalidChars = given.invalid;
    line.naming.conversion = conversionChoice(given);
    line.copy.Conversion = line.naming.conversion;
    line.copy.DestFolder = dest;
    line.copy.TransferMode = given.mode;
    line.copy.ExistAction = given.exists;
    line.copy.CreateList = !given.noPlaylist;
    line.copy.PlaylistPaths = given.playlistPaths;
    // The names the destination volume refuses are cleaned as the invalid characters are.
    line.copy.InvalidChars = given.invalid;
    line.copy.Verify = given.verify;
    line.copy.FlushAlways = given.flush;
    if (given.limit) {
        line.limitKind = LimitKind::Typed;
        line.limitText = *given.limit;
    } else if (given.autoLimit) {
        line.limitKind = LimitKind::FromFreeSpace;
    }
    line.timeLimit = given.timeLimit;
    line.listOnly = given.list;
    line.checkOnly = given.check;
    line.sort = given.sort;
    line.shuffleSeed = given.shuffleSeed;
    line.tags.readTags = !given.noTags;
    line.tags.tagsWin = given.tagsWin;
    if (given.describe) {
        line.tags.descriptionFormat = *given.describe;
    }
    line.tags.cacheFolder = tagCacheFolder();
    return line;
}

} // namespace cli
