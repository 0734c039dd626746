#include "data/PathUtil.h"

#include <cctype>

std::size_t LastSeparator(std::string_view path)
{
#ifdef _WIN32
    return path.find_last_of("\\/");
#else
    return path.find_last_of('/');
#endif
}

std::string FolderOf(std::string_view path)
{
    const std::size_t pos = LastSeparator(path);
    return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos));
}

std::string FileNameOf(std::string_view path)
{
    const std::size_t pos = LastSeparator(path);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string out(folder);
    out.push_back(kPathSeparator);
    out.append(name);
    return out;
}

bool HasCddExtension(std::string_view name)
{
    static constexpr std::string_view ext = ".cdd";
    if (name.size() < ext.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - ext.size());
    for (std::size_t i = 0; i < ext.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != ext[i]) {
            return false;
        }
    }
    return true;
}

std::filesystem::path NativePath(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Path(const std::filesystem::path& path)
{
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}
