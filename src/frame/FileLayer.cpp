#include "frame/FileLayer.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "frame/NmmArchive.h"
#include "frame/TextEncoding.h"

namespace {

struct StartState {
    WinMainArgs args;
    std::string startDirectory;  // empty: not recorded yet
};

// The directory-listing and archive caches are shared by every thread that
// opens files (the game thread, a stream worker), so one lock guards them.
std::mutex& LayerLock()
{
    static std::mutex lock;
    return lock;
}

StartState& Start()
{
    static StartState state;
    return state;
}

std::string CurrentDirectory()
{
    std::vector<char> buffer(4096);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            return buffer.data();
        }
        if (errno != ERANGE || buffer.size() > (1u << 20)) {
            return ".";
        }
        buffer.resize(buffer.size() * 2);
    }
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(const std::string& s)
{
    std::string out = s;
    for (char& c : out) {
        c = AsciiLower(c);
    }
    return out;
}

// One directory's names, kept while the directory's modification time stays
// the same (creating or renaming a file in it changes that time, so a save
// written by the program is seen at once).
struct Listing {
    timespec mtime{};
    std::vector<std::string> names;  // sorted
};

bool SameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::map<std::string, Listing>& Listings()
{
    static std::map<std::string, Listing> listings;
    return listings;
}

// Game folders unpacked without converting their names (zip archives made on
// Japanese Windows, extracted by the usual tools) keep the Shift-JIS bytes on
// disk. A component that is not plain ASCII also matches an entry whose raw
// bytes are its Shift-JIS form: exactly, else ignoring the case of ASCII
// letters (never of a trail byte).
bool MatchRawSjisLocked(const Listing& listing, const std::string& component, std::string* actual)
{
    const bool ascii = std::all_of(component.begin(), component.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::string sjis;
    if (ascii || !Utf8ToSjisStrict(component, &sjis)) {
        return false;
    }
    if (std::binary_search(listing.names.begin(), listing.names.end(), sjis)) {
        *actual = sjis;
        return true;
    }
    std::string wanted = sjis;
    MakeLowerSjis(wanted);
    for (const std::string& name : listing.names) {
        if (name.size() != wanted.size()) {
            continue;
        }
        std::string folded = name;
        MakeLowerSjis(folded);
        if (folded == wanted) {
            *actual = name;
            return true;
        }
    }
    return false;
}

// The on-disk spelling of `component` in `dir` (exact first, else the first
// case-insensitive match in name order); false when there is none.
bool MatchComponentLocked(const std::string& dir, const std::string& component, std::string* actual)
{
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    Listing& listing = Listings()[dir];
    // A listing read in the same second as the directory's last change may
    // miss a file created a moment later with the same (coarse) time stamp,
    // so such a directory is read again until its time stamp has aged.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    bool racy = st.st_mtim.tv_sec >= now.tv_sec - 1;
    if (racy || !SameTime(listing.mtime, st.st_mtim) || listing.names.empty()) {
        listing.names.clear();
        listing.mtime = st.st_mtim;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                listing.names.emplace_back(e->d_name);
            }
            closedir(d);
        }
        std::sort(listing.names.begin(), listing.names.end());
    }
    if (std::binary_search(listing.names.begin(), listing.names.end(), component)) {
        *actual = component;
        return true;
    }
    std::string wanted = AsciiLower(component);
    for (const std::string& name : listing.names) {
        if (name.size() == wanted.size() && AsciiLower(name) == wanted) {
            *actual = name;
            return true;
        }
    }
    return MatchRawSjisLocked(listing, component, actual);
}

// Appends the "/"-separated components of `path` to *parts, folding "." and
// "..". A ".." that would remove one of the first `floor` components is
// dropped (the parent of "/" is "/"), or refused with false when
// `refuseClimb` is set.
bool AppendComponents(const std::string& path, size_t floor, bool refuseClimb, std::vector<std::string>* parts)
{
    size_t i = 0;
    while (i <= path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos) {
            j = path.size();
        }
        std::string part = path.substr(i, j - i);
        if (part == "..") {
            if (parts->size() > floor) {
                parts->pop_back();
            } else if (refuseClimb) {
                return false;
            }
        } else if (!part.empty() && part != ".") {
            parts->push_back(std::move(part));
        }
        i = j + 1;
    }
    return true;
}

// Splits an absolute host path into its components with "." and ".." folded.
std::vector<std::string> NormalComponents(const std::string& path)
{
    std::vector<std::string> parts;
    AppendComponents(path, 0, false, &parts);
    return parts;
}

std::string JoinComponents(const std::vector<std::string>& parts, size_t count)
{
    if (count == 0) {
        return "/";
    }
    std::string out;
    for (size_t k = 0; k < count; ++k) {
        out += '/';
        out += parts[k];
    }
    return out;
}

// Gives each existing component its on-disk spelling; components past the
// first missing one stay as written.
std::vector<std::string> ResolveCaseLocked(std::vector<std::string> parts)
{
    struct stat st;
    if (stat(JoinComponents(parts, parts.size()).c_str(), &st) == 0) {
        return parts;  // spelled as on disk already: no listing needed
    }
    for (size_t k = 0; k < parts.size(); ++k) {
        std::string actual;
        if (!MatchComponentLocked(JoinComponents(parts, k), parts[k], &actual)) {
            break;
        }
        parts[k] = actual;
    }
    return parts;
}

// The game's name as an absolute, folded host path (not yet case-resolved),
// kept inside the game folder: names come from scenarios, settings and save
// files that arrive with a download, and must not open the player's other
// files. The check is on the name alone, not on where links lead, so a link
// the player put in the folder (a "savedata" kept on another disk) still
// works. False when the name would leave the folder; *rootCount gets the
// number of components of the folder itself.
bool GameComponents(const std::string& name, std::vector<std::string>* out, size_t* rootCount)
{
    std::vector<std::string> parts = NormalComponents(GetStartDirectory());
    *rootCount = parts.size();
    if (!name.empty() && name[0] == '/') {
        // A host path (MakeFullPath's result handed back in): it must lie in
        // the folder once folded.
        std::vector<std::string> host = NormalComponents(name);
        if (host.size() < parts.size() || !std::equal(parts.begin(), parts.end(), host.begin())) {
            return false;
        }
        *out = std::move(host);
        return true;
    }
    // Convert before touching "\": a Shift-JIS trail byte can be 0x5C.
    std::string relative;
    if (!SjisToUtf8Strict(name, &relative)) {
        relative = SjisToUtf8(name);
    }
    std::replace(relative.begin(), relative.end(), '\\', '/');
    // "\x" names the root of the drive and "C:" a drive (or, later in the
    // name, a stream of a file): neither is in the folder.
    if ((!relative.empty() && relative[0] == '/') || relative.find(':') != std::string::npos) {
        return false;
    }
    if (!AppendComponents(relative, parts.size(), true, &parts)) {
        return false;  // climbs above the folder
    }
    *out = std::move(parts);
    return true;
}

bool IsRegularFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

struct CachedArchive {
    timespec mtime{};
    off_t size = 0;
    bool read = false;
    std::shared_ptr<const CNmmArchive> archive;  // null: not a valid archive
};

std::map<std::string, CachedArchive>& Archives()
{
    static std::map<std::string, CachedArchive> archives;
    return archives;
}

std::shared_ptr<const CNmmArchive> ArchiveLocked(const std::string& hostPath)
{
    struct stat st;
    if (stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return nullptr;
    }
    CachedArchive& cached = Archives()[hostPath];
    if (!cached.read || !SameTime(cached.mtime, st.st_mtim) || cached.size != st.st_size) {
        cached.read = true;
        cached.mtime = st.st_mtim;
        cached.size = st.st_size;
        cached.archive = nullptr;
        CFileByteSource source;
        auto archive = std::make_shared<CNmmArchive>();
        if (source.Open(hostPath) && archive->ReadDirectory(source) == CNmmArchive::kOk) {
            cached.archive = archive;
        }
    }
    return cached.archive;
}

}  // namespace

void SetWinMainArgs(void* instance, void* previousInstance, const std::string& commandLine,
                    int showCommand)
{
    std::lock_guard<std::mutex> guard(LayerLock());
    StartState& s = Start();
    s.args.instance = instance;
    s.args.previousInstance = previousInstance;
    s.args.commandLine = commandLine;
    s.args.showCommand = showCommand;
    s.startDirectory = CurrentDirectory();
}

const WinMainArgs& GetWinMainArgs()
{
    return Start().args;
}

std::string GetStartDirectory()
{
    std::string dir;
    {
        std::lock_guard<std::mutex> guard(LayerLock());
        dir = Start().startDirectory;
    }
    if (dir.empty()) {
        dir = CurrentDirectory();
    }
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
}

void SetStartDirectory(const std::string& hostPath)
{
    // Every lookup builds absolute paths from this, so a relative one is
    // anchored to the current directory now.
    std::string dir = !hostPath.empty() && hostPath[0] == '/' ? hostPath : CurrentDirectory() + "/" + hostPath;
    std::lock_guard<std::mutex> guard(LayerLock());
    Start().startDirectory = dir;
}

std::string GetFileExtension(const std::string& path)
{
    // Walk by character: a Shift-JIS trail byte can look like "\".
    size_t nameStart = 0;
    for (size_t i = 0; i < path.size();) {
        size_t len = SjisCharLength(path, i);
        if (len == 1 && (path[i] == '\\' || path[i] == '/')) {
            nameStart = i + 1;
        }
        i += len;
    }
    size_t dot = std::string::npos;
    for (size_t i = nameStart; i < path.size();) {
        size_t len = SjisCharLength(path, i);
        if (len == 1 && path[i] == '.') {
            dot = i;
        }
        i += len;
    }
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

void MakeLowerSjis(std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        size_t len = SjisCharLength(text, i);
        if (len == 1) {
            text[i] = AsciiLower(text[i]);
        }
        i += len;
    }
}

std::string MakeFullPath(const std::string& name)
{
    std::vector<std::string> parts;
    size_t rootCount = 0;
    if (!GameComponents(name, &parts, &rootCount)) {
        return {};
    }
    std::lock_guard<std::mutex> guard(LayerLock());
    parts = ResolveCaseLocked(std::move(parts));
    return JoinComponents(parts, parts.size());
}

bool FindGameFile(const std::string& name, FileLocation* out)
{
    if (name.empty()) {
        return false;
    }
    std::vector<std::string> parts;
    size_t rootCount = 0;
    if (!GameComponents(name, &parts, &rootCount) || parts.size() <= rootCount) {
        return false;
    }
    std::lock_guard<std::mutex> guard(LayerLock());
    parts = ResolveCaseLocked(std::move(parts));
    std::string full = JoinComponents(parts, parts.size());
    if (IsRegularFile(full)) {
        out->kind = FileLocation::kLoose;
        out->hostPath = full;
        out->entryName.clear();
        out->entry = NmmEntry();
        return true;
    }
    // The archive named after the file's folder, beside that folder; a file
    // at the top of the game folder has none (it would lie outside).
    if (parts.size() < rootCount + 2) {
        return false;
    }
    const std::string& folder = parts[parts.size() - 2];
    std::string archiveDir = JoinComponents(parts, parts.size() - 2);
    std::string archiveName;
    if (!MatchComponentLocked(archiveDir, folder + ".NMM", &archiveName)) {
        return false;
    }
    std::string archivePath = (archiveDir == "/" ? "" : archiveDir) + "/" + archiveName;
    std::shared_ptr<const CNmmArchive> archive = ArchiveLocked(archivePath);
    std::string entryName;
    if (archive == nullptr || !Utf8ToSjisStrict(parts.back(), &entryName)) {
        return false;
    }
    const NmmEntry* entry = archive->Find(entryName);
    if (entry == nullptr) {
        return false;
    }
    out->kind = FileLocation::kArchive;
    out->hostPath = archivePath;
    out->entryName = entry->name;
    out->entry = *entry;
    return true;
}

bool FileExists(const std::string& path)
{
    FileLocation location;
    return FindGameFile(MakeFullPath(path), &location);
}

void FlushFileLayerCache()
{
    std::lock_guard<std::mutex> guard(LayerLock());
    Listings().clear();
    Archives().clear();
}
