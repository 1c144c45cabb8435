#pragma once
// File permissions that hold for a test also when it runs as root: while an object of this
// class lives, file access on this thread is checked as for an ordinary user (nobody).
// Without root it changes nothing, because permissions apply anyway.
namespace zorim::test {

class AsOrdinaryUser {
public:
    AsOrdinaryUser();
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
    // False when running as root and the switch was refused: the test should be skipped.
    bool effective() const { return effective_; }

private:
    bool switched_ = false;
    bool effective_ = true;
};

} // namespace zorim::test
