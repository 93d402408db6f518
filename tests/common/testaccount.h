// TestAccount: a real unprivileged account for tests that play a second local user (root only).
//
// The account gets a unique name ("tqtest" + the test's pid + a number), a home folder that is
// given but not created, no password and no login shell; it is removed again (with its group)
// when the object is destroyed. Accounts left by test programs that died are removed first
// (their comment names the pid that made them). useradd and userdel wait for each other's
// locks, so tests running at once may each make their own.
#pragma once

#include <QString>

#include <sys/types.h>

class TestAccount
{
public:
    explicit TestAccount(const QString& home);
    ~TestAccount();
    TestAccount(const TestAccount&) = delete;
    TestAccount& operator=(const TestAccount&) = delete;

    // False when the account could not be made; why() says why (for QSKIP).
    bool isValid() const { return valid_; }
    QString why() const { return why_; }

    QString name() const { return name_; }
    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }

private:
    QString name_;
    QString why_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    bool valid_ = false;
};
