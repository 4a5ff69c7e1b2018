#pragma once
// What arrives from outside the service, read before anything touches the labels or the
// printers: the JSON of a job (from an HTTP request or a watched file), the name of a label
// within the labels folder, and the bearer token. Every bound here keeps a hostile request
// small: its size, its nesting, its rows and the length of its names.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/row_source.h"

namespace tavrin::service {

struct RequestLimits {
    std::size_t bodyBytes = 1024 * 1024;
    std::size_t rows = 10000;
    int nesting = 8;  // a job needs 3: the object, its rows, a row
    std::size_t keyLength = 200;
    std::size_t nameLength = 255;
    unsigned copies = 999;
};

// A job as asked for, checked for shape only; whether the label takes its rows is for the
// label's own check.
struct JobRequest {
    std::string label;
    std::string printer;
    std::string key;  // empty when none was given
    unsigned copies = 1;
    std::vector<ValueMapRows::Row> rows;
};

struct RequestRefusal {
    int status = 400;
    std::string message;
};

// True when no array or object in the JSON text lies deeper than `limit` (strings and
// their escapes skipped); read before the JSON library sees the text, so that no input
// can make it recurse far.
bool nestingWithin(std::string_view json, int limit);

// Reads a job's JSON. On a refusal `request` is left unspecified.
std::optional<RequestRefusal> parseJobRequest(std::string_view body, const RequestLimits& limits, JobRequest& request);

// A label name as a request may give it: relative, "/"-separated, no "." or ".." parts, no
// control characters or backslashes, ending in ".qlb". Empty when it is, else why not.
std::string labelNameProblem(std::string_view name, std::size_t maxLength = 255);

// The label's file when `name` is one within `folder` (after following every link, the
// file must still lie inside the folder's own real path and be a regular file).
std::optional<std::filesystem::path> labelInFolder(const std::filesystem::path& folder, std::string_view name);

// "Bearer TOKEN" against the token, in time that does not depend on where they differ.
bool bearerMatches(std::string_view authorization, std::string_view token);

// A row's values as JSON for the job store, and back.
std::string rowsToJson(const std::vector<ValueMapRows::Row>& rows);
std::vector<ValueMapRows::Row> rowsFromJson(std::string_view json);

}  // namespace tavrin::service
