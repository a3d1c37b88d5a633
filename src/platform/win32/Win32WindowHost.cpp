#include "platform/win32/Win32WindowHost.h"

#include "core/Exception.h"

namespace marlowen {

std::unique_ptr<TWindowHost> TWin32WindowHosts::CreateHost(TWindowHostEvents& /*events*/, int32_t /*width*/,
                                                           int32_t /*height*/) {
    throw Exception("Окна графических контейнеров в этой сборке недоступны.");
}

std::unique_ptr<TFormHost> TWin32WindowHosts::CreateForm(TFormHostEvents& /*events*/, int32_t /*width*/,
                                                         int32_t /*height*/) {
    throw Exception("Формы скинов в этой сборке недоступны.");
}

THintPopup& TWin32WindowHosts::HintPopup() {
    throw Exception("Всплывающие подсказки в этой сборке недоступны.");
}

}  // namespace marlowen
