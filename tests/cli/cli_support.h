// Running the built kestro tool from tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace kestro::cli::test {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

class Workspace {
public:
    Workspace() {
        std::random_device random;
        dir_ = fs::temp_directory_path() / ("kestro-cli-" + std::to_string(random()));
        fs::create_directories(dir_);
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    fs::path operator/(const std::string& name) const { return dir_ / name; }
    const fs::path& path() const { return dir_; }

    struct Result {
        int exitCode;
        std::string out, err;
    };

    // Runs kestro with `args` (each quoted for the shell) in the workspace.
    Result kestro(const std::vector<std::string>& args) const {
        std::string command = "cd '" + dir_.string() + "' && '" KESTRO_TOOL "'";
        for (const auto& a : args) command += " '" + a + "'";
        command += " >'" + (dir_ / ".out").string() + "' 2>'" + (dir_ / ".err").string() + "'";
        int status = std::system(command.c_str());
        Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir_ / ".out"), readFile(dir_ / ".err")};
        fs::remove(dir_ / ".out");
        fs::remove(dir_ / ".err");
        return result;
    }

    // The names in the workspace, to see that a failed build left nothing behind.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        std::ranges::sort(names);
        return names;
    }

private:
    fs::path dir_;
};

}  // namespace kestro::cli::test
