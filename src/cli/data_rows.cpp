#include "data_rows.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <unistd.h>

#include "document/app_config.h"
#include "document/config_file.h"
#include "document/program_paths.h"
#include "standard_streams.h"

namespace tavrin::cli {

Translation configuredTranslation() {
    const ProgramPaths paths = ProgramPaths::forThisProcess(nullptr);
    const auto files = paths.translationFiles();
    LabelSetup setup;
    AppConfig config;
    readConfiguration(paths.configReadPath(), setup, config, kTranslationFirstFile + static_cast<int>(files.size()));
    Translation translation;
    configureCodePages(translation, config);
    translation.load(config.translation, files);
    return translation;
}

DataInput::~DataInput() {
    if (temporary_) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
}

std::string DataInput::open(const std::string& argument) {
    if (argument != "-") {
        path_ = argument;
        if (!std::filesystem::is_regular_file(path_) || !readProblem(argument).empty()) {
            const std::string reason = readProblem(argument);
            return "Can't open data file " + argument + (reason.empty() ? ": not a regular file" : reason);
        }
        return {};
    }
    std::string name = (std::filesystem::temp_directory_path() / "tavrin-data-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return std::string("Can't keep standard input in a temporary file: ") + std::strerror(errno);
    path_ = name;
    temporary_ = true;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, stdin);
        if (n > 0 && ::write(fd, buffer, n) != static_cast<ssize_t>(n)) {
            const std::string reason = std::strerror(errno);
            ::close(fd);
            return "Can't keep standard input in a temporary file: " + reason;
        }
        if (n < sizeof buffer) break;
    }
    ::close(fd);
    return {};
}

void reportDataProblems(const DataCheck& check) {
    for (const DataProblem& problem : check.problems) std::fprintf(stderr, "%s\n", problem.text.c_str());
}

std::string applyDataRowTo(LabelDocument& document, const std::filesystem::path& data, long long row,
                           const Translation& translation) {
    DataFileRows rows(data, translation.ansiCodePage());
    RowSelection only = RowSelection::from(row);
    if (const auto one = RowSelection::parse(std::to_string(row))) only = *one;
    const DataCheck check = checkRows(rows, document, translation, {}, only);
    if (!check.error.empty()) return check.error;
    reportDataProblems(check);
    return applyDataRow(rows, document, translation, row);
}

bool parseCount(const std::string& text, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' && value >= 1;
}

}  // namespace tavrin::cli
