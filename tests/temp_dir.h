// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

class TempDir {
public:
    TempDir() {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = std::filesystem::temp_directory_path() /
                ("lk-test-" + std::to_string(stamp) + '-' + std::to_string(counter++));
        std::filesystem::create_directories(root_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name = "") const { return (root_ / name).string(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(root_ / name); }
    void make_folder(const std::string& name) const { std::filesystem::create_directories(root_ / name); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(root_ / name, std::ios::binary) << bytes;
    }
    // Names of everything in the folder (or one below it).
    std::set<std::string> names(const std::string& folder = "") const {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(root_ / folder)) {
            found.insert(entry.path().filename().string());
        }
        return found;
    }
    std::string read(const std::string& name) const {
        std::ostringstream bytes;
        bytes << std::ifstream(root_ / name, std::ios::binary).rdbuf();
        return bytes.str();
    }

private:
    std::filesystem::path root_;
};
