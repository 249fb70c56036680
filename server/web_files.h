// The browser build's files, served read-only from one folder: a request's path is a plain relative
// name (no dot-leading parts, so nothing above or hidden), "/" is the game's page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The file for a request target inside `folder`, or nothing when the target is not a plain name.
std::optional<std::string> web_file_path(const std::string& folder, std::string_view target);
std::string_view web_content_type(std::string_view path);
