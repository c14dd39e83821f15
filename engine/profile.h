#pragma once

// The profiler: sums the time spent inside named tags (at most 99) and prints a table at
// shut-down. All its output goes through the debug log.
void ProfileStart(const char* tag);
void ProfileStop(const char* tag);
void ProfilePrint();
// Forgets every tag, for tests.
void ProfileReset();

// Runs a tag for as long as the object lives, so that a throw stops it too.
class ProfileScope {
public:
    explicit ProfileScope(const char* tag) : tag(tag) { ProfileStart(tag); }
    ~ProfileScope() { ProfileStop(tag); }
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;

private:
    const char* tag;
};
