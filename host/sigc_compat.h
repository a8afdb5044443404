// The SigC names the plug-in and host share, as a thin layer over
// libsigc++-3.0 (the 1.x series they come from is not packaged).
//   SigC::Object      trackable base: slots bound to it die with it
//   SigC::slot(o, &C::m)  slot of a member function of o
//   SigC::bind(slot, v)   fixes the last argument
//   SigC::Signal0<R>, SigC::Signal1<R, A>  signals; connect(slot), emit(...)
#pragma once
#include <sigc++/sigc++.h>

namespace SigC {

using Object = sigc::trackable;
using Connection = sigc::connection;

template <class R>
using Signal0 = sigc::signal<R()>;
template <class R, class A1>
using Signal1 = sigc::signal<R(A1)>;
template <class R, class A1, class A2>
using Signal2 = sigc::signal<R(A1, A2)>;

template <class Obj, class R, class C, class... Args>
auto slot(Obj& object, R (C::*method)(Args...)) {
    return sigc::mem_fun(object, method);
}

template <class Functor, class... Bound>
auto bind(const Functor& functor, Bound... bound) {
    return sigc::bind(functor, bound...);
}

}  // namespace SigC
