#pragma once

#include <memory>
#include <type_traits>

namespace marlowen {

// The "is it still alive" token of an object that others refer to without owning it, and that a
// handler of its own may free. The object owns one as a member and answers it from a public
// LifeToken(); a TWeakRef taken from the object answers the object until the token ends. A
// destructor ends the token first (End), so the object is gone from the moment its destruction
// begins. A copied or moved object has a life of its own: the token is never shared.
class TLifeToken {
public:
    TLifeToken() : Life_(std::make_shared<char>(0)) {}
    TLifeToken(const TLifeToken&) : TLifeToken() {}
    TLifeToken& operator=(const TLifeToken&) { return *this; }
    ~TLifeToken() = default;

    // Whether End has not been called yet.
    bool Alive() const { return Life_ != nullptr; }
    // Every reference taken from this token answers none from now on.
    void End() { Life_.reset(); }

private:
    template <class T>
    friend class TWeakRef;

    std::shared_ptr<const void> Life_;
};

// A reference to an object owning a TLifeToken: Get() is the object, or none once the object's
// token ended (its destruction began). Empty by default.
template <class T>
class TWeakRef {
public:
    TWeakRef() = default;
    explicit TWeakRef(T* object) : Object_(object) {
        if (object != nullptr) Life_ = object->LifeToken().Life_;
    }
    // From a reference to a derived class.
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>>>
    TWeakRef(const TWeakRef<U>& other) : TWeakRef(other.Get()) {}  // NOLINT(google-explicit-constructor)

    T* Get() const { return Life_.expired() ? nullptr : Object_; }

private:
    T* Object_ = nullptr;
    std::weak_ptr<const void> Life_;
};

}  // namespace marlowen
