// A folder of its own for a test: made empty under the system's temporary
// folder, removed with everything in it when the object goes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tonaro-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) _path = pattern;
    }
    ~TempFolder()
    {
        std::error_code error;
        if (!_path.empty()) std::filesystem::remove_all(_path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return _path; }
    std::string File(const std::string& name) const { return _path + "/" + name; }

    // Writes bytes to a file of the folder (created or truncated).
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // The bytes of a file of the folder; empty when it cannot be read.
    std::string Read(const std::string& name) const { return ReadPath(File(name)); }

    static std::string ReadPath(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The names of the items in the folder, sorted.
    std::string Listing() const
    {
        std::string names;
        std::error_code error;
        std::set<std::string> sorted;
        for (const auto& entry : std::filesystem::directory_iterator(_path, error))
            sorted.insert(entry.path().filename().string());
        for (const std::string& name : sorted) names += name + ";";
        return names;
    }

private:
    std::string _path;
};
