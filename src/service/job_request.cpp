#include "service/job_request.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <system_error>

namespace tavrin::service {

namespace {

using Json = nlohmann::ordered_json;

RequestRefusal refusal(std::string message, int status = 400) { return {status, std::move(message)}; }

bool hasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// Inside `folder` (both real paths): the folder itself or below it.
bool within(const std::filesystem::path& folder, const std::filesystem::path& path) {
    auto f = folder.begin();
    auto p = path.begin();
    for (; f != folder.end(); ++f, ++p)
        if (p == path.end() || *f != *p) return false;
    return true;
}

std::optional<RequestRefusal> readRows(const Json& rows, const RequestLimits& limits, JobRequest& request) {
    if (!rows.is_array()) return refusal("\"rows\" must be a list of objects, one per label");
    if (rows.empty()) return refusal("\"rows\" is empty: nothing to print");
    if (rows.size() > limits.rows)
        return refusal("\"rows\" holds " + std::to_string(rows.size()) + " rows; at most " +
                           std::to_string(limits.rows) + " are taken in one job",
                       413);
    request.rows.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Json& row = rows[i];
        const std::string where = "row " + std::to_string(i + 1);
        if (!row.is_object()) return refusal(where + " is not an object of names and values");
        ValueMapRows::Row& values = request.rows.emplace_back();
        for (const auto& [name, value] : row.items()) {
            if (name.empty() || hasControl(name))
                return refusal(where + ": a name must be text without control characters");
            if (value.is_string()) values.emplace_back(name, value.get<std::string>());
            else if (value.is_number()) values.emplace_back(name, value.dump());
            else return refusal(where + ", \"" + name + "\": a value must be text or a number");
        }
    }
    return std::nullopt;
}

}  // namespace

bool nestingWithin(std::string_view json, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

std::optional<RequestRefusal> parseJobRequest(std::string_view body, const RequestLimits& limits, JobRequest& request) {
    if (body.size() > limits.bodyBytes)
        return refusal("The request holds " + std::to_string(body.size()) + " bytes; at most " +
                           std::to_string(limits.bodyBytes) + " are taken",
                       413);
    if (!nestingWithin(body, limits.nesting))
        return refusal("The request nests deeper than " + std::to_string(limits.nesting) + " levels");
    const Json json = Json::parse(body.begin(), body.end(), nullptr, false);
    if (json.is_discarded()) return refusal("The request is not JSON");
    if (!json.is_object()) return refusal("The request must be a JSON object");
    request = JobRequest{};
    bool hasRows = false;
    for (const auto& [field, value] : json.items()) {
        if (field == "label" || field == "printer" || field == "key") {
            if (!value.is_string()) return refusal("\"" + field + "\" must be text");
            const std::string text = value.get<std::string>();
            const std::size_t most = field == "key" ? limits.keyLength : limits.nameLength;
            if (text.size() > most)
                return refusal("\"" + field + "\" is longer than " + std::to_string(most) + " bytes");
            (field == "label" ? request.label : field == "printer" ? request.printer : request.key) = text;
        } else if (field == "copies") {
            if (!value.is_number_integer() || value.get<long long>() < 1 || value.get<long long>() > limits.copies)
                return refusal("\"copies\" must be a whole number from 1 to " + std::to_string(limits.copies));
            request.copies = value.get<unsigned>();
        } else if (field == "rows") {
            if (auto bad = readRows(value, limits, request)) return bad;
            hasRows = true;
        } else {
            // A misspelt field would otherwise be dropped silently: "Key" would lose the
            // protection against printing twice, "copy" the number of copies.
            return refusal("Unknown field \"" + field + "\" (known: label, printer, rows, copies, key)");
        }
    }
    if (request.label.empty()) return refusal("No \"label\"");
    if (request.printer.empty()) return refusal("No \"printer\"");
    if (!hasRows) return refusal("No \"rows\"");
    if (const std::string bad = labelNameProblem(request.label, limits.nameLength); !bad.empty()) return refusal(bad);
    return std::nullopt;
}

std::string labelNameProblem(std::string_view name, std::size_t maxLength) {
    const std::string quoted = "\"" + std::string(name.substr(0, 80)) + "\"";
    if (name.empty() || name.size() > maxLength) return "A label name must have 1 to " + std::to_string(maxLength) + " bytes";
    if (hasControl(name) || name.find('\\') != std::string_view::npos)
        return "The label name " + quoted + " holds a control character or a backslash";
    if (name.front() == '/') return "The label name " + quoted + " is an absolute path: name a label within the labels folder";
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return "The label name " + quoted + " leads out of the labels folder or has an empty part";
        start = end + 1;
    }
    if (name.size() < 5 || (name.substr(name.size() - 4) != ".qlb" && name.substr(name.size() - 4) != ".QLB"))
        return "The label name " + quoted + " does not end in .qlb";
    return {};
}

std::optional<std::filesystem::path> labelInFolder(const std::filesystem::path& folder, std::string_view name) {
    if (!labelNameProblem(name).empty()) return std::nullopt;
    std::error_code error;
    const auto root = std::filesystem::canonical(folder, error);
    if (error) return std::nullopt;
    const auto file = std::filesystem::canonical(root / std::filesystem::path(std::string(name)), error);
    if (error || !within(root, file) || !std::filesystem::is_regular_file(file, error)) return std::nullopt;
    return file;
}

bool bearerMatches(std::string_view authorization, std::string_view token) {
    constexpr std::string_view kScheme = "Bearer ";
    if (token.empty() || authorization.size() < kScheme.size()) return false;
    bool schemeOk = true;
    for (std::size_t i = 0; i < kScheme.size(); ++i)
        schemeOk &= std::tolower(static_cast<unsigned char>(authorization[i])) ==
                    std::tolower(static_cast<unsigned char>(kScheme[i]));
    const std::string_view given = authorization.substr(kScheme.size());
    // Every byte of the token is compared whatever the given one holds, and the lengths
    // only at the end.
    unsigned char difference = given.size() == token.size() ? 0 : 1;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const unsigned char g = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
        difference |= static_cast<unsigned char>(g ^ static_cast<unsigned char>(token[i]));
    }
    return schemeOk && difference == 0;
}

std::string rowsToJson(const std::vector<ValueMapRows::Row>& rows) {
    Json out = Json::array();
    for (const auto& row : rows) {
        Json object = Json::object();
        for (const auto& [name, value] : row) object[name] = value;
        out.push_back(std::move(object));
    }
    return out.dump();
}

std::vector<ValueMapRows::Row> rowsFromJson(std::string_view json) {
    std::vector<ValueMapRows::Row> rows;
    const Json parsed = Json::parse(json.begin(), json.end(), nullptr, false);
    if (!parsed.is_array()) return rows;
    for (const Json& row : parsed) {
        ValueMapRows::Row& values = rows.emplace_back();
        if (!row.is_object()) continue;
        for (const auto& [name, value] : row.items())
            if (value.is_string()) values.emplace_back(name, value.get<std::string>());
    }
    return rows;
}

}  // namespace tavrin::service
