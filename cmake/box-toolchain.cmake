# Cross build for a box CPU with Debian 12's cross compilers:
#   -DCMAKE_TOOLCHAIN_FILE=cmake/box-toolchain.cmake -DLUMEN_BOX_CPU=armhf
# CPUs: mipsel, armhf (Debian architectures: libraries from Debian's
# packages), mips, powerpc (big-endian, no Debian architecture: libraries
# built from source). scripts/box-sysroot.sh makes the sysroot this file
# points to; ctest runs every test program through qemu-user.
set(LUMEN_BOX_CPU "${LUMEN_BOX_CPU}" CACHE STRING "Box CPU: mipsel, armhf, mips or powerpc")
# try_compile projects re-read this file without the cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LUMEN_BOX_CPU LUMEN_BOX_NO_SYSROOT)

# Per CPU: the instruction set built for, and the architecture name of the
# box feeds' packages (both cache options a preset or -D may change).
# MIPS boxes' cores include plain MIPS32 ones, which lack the compiler's
# default mips32r2 instructions. ARM hard-float boxes are ARMv7-A cores
# with NEON, and their feeds name that tune; the compiler's default
# (ARMv7-A, VFPv3-D16, Thumb-2) runs on all of them. PowerPC: generic 32-bit.

if(LUMEN_BOX_CPU STREQUAL "mipsel")
  set(triplet mipsel-linux-gnu)
  set(qemu qemu-mipsel)
  set(CMAKE_SYSTEM_PROCESSOR mips)
  set(cpu_flags -march=mips32)
  set(opkg_arch mips32el)
elseif(LUMEN_BOX_CPU STREQUAL "armhf")
  set(triplet arm-linux-gnueabihf)
  set(qemu qemu-arm)
  set(CMAKE_SYSTEM_PROCESSOR arm)
  set(cpu_flags "")
  set(opkg_arch armv7ahf-neon)
elseif(LUMEN_BOX_CPU STREQUAL "mips")
  set(triplet mips-linux-gnu)
  set(qemu qemu-mips)
  set(CMAKE_SYSTEM_PROCESSOR mips)
  set(cpu_flags -march=mips32)
  set(opkg_arch mips32)
elseif(LUMEN_BOX_CPU STREQUAL "powerpc")
  set(triplet powerpc-linux-gnu)
  set(qemu qemu-ppc)
  set(CMAKE_SYSTEM_PROCESSOR ppc)
  set(cpu_flags "")
  set(opkg_arch powerpc)
else()
  message(FATAL_ERROR "LUMEN_BOX_CPU must be mipsel, armhf, mips or powerpc (got '${LUMEN_BOX_CPU}')")
endif()

set(LUMEN_BOX_CPU_FLAGS "${cpu_flags}" CACHE STRING
    "Compiler flags choosing the box's instruction set (empty: the cross compiler's default)")
# Applied by the top CMakeLists.txt, so that a changed value takes effect in an existing build.
set(LUMEN_OPKG_ARCH "${opkg_arch}" CACHE STRING "Architecture field of the box package (the box feed's name)")

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_STRIP ${triplet}-strip)

get_filename_component(LUMEN_BOX_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../build/sysroot/${LUMEN_BOX_CPU}" ABSOLUTE)
set(cross_libc /usr/${triplet})
if(LUMEN_BOX_CPU MATCHES "^(mipsel|armhf)$")
  # Debian's multiarch layout; the sysroot holds its own C library too.
  set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
  set(libdirs ${LUMEN_BOX_SYSROOT}/usr/lib/${triplet} ${LUMEN_BOX_SYSROOT}/lib/${triplet})
  set(qemu_prefix ${LUMEN_BOX_SYSROOT})
else()
  set(libdirs ${LUMEN_BOX_SYSROOT}/usr/lib)
  set(qemu_prefix ${cross_libc})
endif()

if(CMAKE_LIBRARY_ARCHITECTURE)
  # The sysroot's own headers of this architecture (openssl's configuration,
  # for one), which the compiler looks for outside the sysroot.
  set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES ${LUMEN_BOX_SYSROOT}/usr/include/${triplet})
  set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${LUMEN_BOX_SYSROOT}/usr/include/${triplet})
endif()

set(CMAKE_FIND_ROOT_PATH ${LUMEN_BOX_SYSROOT} ${cross_libc})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the sysroot's .pc files and prefixes their paths.
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${LUMEN_BOX_SYSROOT})
set(ENV{PKG_CONFIG_LIBDIR} "${LUMEN_BOX_SYSROOT}/usr/lib/${triplet}/pkgconfig:${LUMEN_BOX_SYSROOT}/usr/lib/pkgconfig:${LUMEN_BOX_SYSROOT}/usr/share/pkgconfig")

# The libraries' own dependencies (libcurl's TLS, for example) are found
# at link time in the sysroot, and at run time through the run path.
foreach(dir ${libdirs})
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
  string(APPEND CMAKE_MODULE_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
endforeach()

if(NOT LUMEN_BOX_NO_SYSROOT)
  # Tests run through qemu-user with the box's C library and loader. The
  # prefix goes in the environment, so that the programs a test starts
  # (qemu registered with binfmt_misc, scripts/test-box.sh) find it too.
  set(CMAKE_CROSSCOMPILING_EMULATOR env QEMU_LD_PREFIX=${qemu_prefix} ${qemu})
endif()
