#include "server/web_files.h"

#include <array>
#include <filesystem>
#include <utility>

namespace {

bool plain_part(std::string_view part) {
    if (part.empty() || part.front() == '.') return false;
    for (char c : part)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
              c == '_'))
            return false;
    return true;
}

} // namespace

std::optional<std::string> web_file_path(const std::string& folder, std::string_view target) {
    target = target.substr(0, target.find_first_of("?#"));
    if (target.empty() || target.front() != '/') return std::nullopt;
    target.remove_prefix(1);
    if (target.empty()) {
        // The page the browser build makes, unless the folder brings its own index.
        const std::string index = folder + "/index.html";
        return std::filesystem::exists(index) ? index : folder + "/quibbet.html";
    }
    for (std::string_view rest = target; !rest.empty();) {
        const size_t slash = rest.find('/');
        if (!plain_part(rest.substr(0, slash))) return std::nullopt;
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        if (slash != std::string_view::npos && rest.empty()) return std::nullopt;
    }
    return folder + "/" + std::string(target);
}

std::string_view web_content_type(std::string_view path) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> types{{
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript"},
        {".wasm", "application/wasm"},
        {".png", "image/png"},
        {".css", "text/css"},
        {".json", "application/json"},
        {".ico", "image/x-icon"},
        {".svg", "image/svg+xml"},
        {".txt", "text/plain; charset=utf-8"},
    }};
    for (const auto& [ending, type] : types)
        if (path.ends_with(ending)) return type;
    return "application/octet-stream";
}
