// A scratch folder for the file tests and small file helpers.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace ks340::fileio::test {

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = "/tmp/ks340-files-XXXXXX";
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

    // The names in the folder (without . and ..).
    std::set<std::string> names() const { return namesIn(path_); }

    static std::set<std::string> namesIn(const std::string& folder) {
        std::set<std::string> out;
        if (DIR* d = ::opendir(folder.c_str())) {
            while (const dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") out.insert(e->d_name);
            ::closedir(d);
        }
        return out;
    }

private:
    std::string path_;
};

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void spit(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace ks340::fileio::test
