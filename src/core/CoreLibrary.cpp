#include "core/CoreLibrary.h"

#include "core/Exception.h"
#include "core/Languages.h"

namespace marlowen {

TCoreLibrary::TCoreLibrary(bool supportsCyrillic) {
    if (marlowen::Languages != nullptr) throw Exception("Библиотека уже инициализирована.");
    Languages_ = TLanguages::CreateBuiltIn(supportsCyrillic);
    marlowen::Languages = Languages_.get();
}

TCoreLibrary::~TCoreLibrary() {
    // Subscribers are told while the registry is still the process-wide one.
    Languages_.reset();
    marlowen::Languages = nullptr;
}

}  // namespace marlowen
