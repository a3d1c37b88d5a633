#include "core/CoreLibrary.h"

#include "core/Exception.h"
#include "core/Languages.h"

namespace marlowen {

TCoreLibrary::TCoreLibrary(bool supportsCyrillic) {
    if (Languages != nullptr) throw Exception("Библиотека уже инициализирована.");
    Languages_ = TLanguages::CreateBuiltIn(supportsCyrillic);
    Languages = Languages_.get();
}

TCoreLibrary::~TCoreLibrary() {
    // Subscribers are told while the registry is still the process-wide one.
    Languages_.reset();
    Languages = nullptr;
}

}  // namespace marlowen
