// The machine-dependent half of the JNI headers, for 64-bit Windows: the published
// jni.h of the host's JDK includes it. On Windows `long` is 32 bits, and the invocation
// API's functions use the standard calling convention (which x64 makes the only one).
#ifndef KESTRO_JNI_MD_H
#define KESTRO_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef __int64 jlong;
typedef signed char jbyte;

#endif
