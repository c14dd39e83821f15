#pragma once

#include <string>

// One running copy per user: the first copy holds a name in the abstract socket namespace for
// as long as it runs, and a later copy finds the name taken. Nothing is written to the disk, so
// a copy that crashed leaves nothing behind that could keep the game from starting.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the name for this user (the name followed by the user id); false when another holder
    // has it. A name already held by this object is kept.
    bool Claim(const std::string& name);
    void Release();
    bool Held() const { return socket >= 0; }

private:
    int socket = -1;
};

// The name the game claims: the seam's, when set, else the given one.
std::string InstanceName(const std::string& name);
