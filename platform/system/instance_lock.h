#pragma once

// A per-user named lock that marks a running instance (flock on a file in the user's runtime folder, so
// it is released by the system when the process ends however it ends).

#include <QString>

class InstanceLock {
public:
    // Takes the lock called name. On success returns the lock; when another process holds it, returns
    // nullptr with *heldElsewhere true; on any other failure nullptr with *heldElsewhere false.
    static InstanceLock* Acquire(const QString& name, bool* heldElsewhere);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

private:
    explicit InstanceLock(int fd) : m_fd(fd) {}
    int m_fd;
};
