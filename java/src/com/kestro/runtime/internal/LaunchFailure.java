package com.kestro.runtime.internal;

/**
 * A launch that cannot begin. The launcher describes the exception that ends
 * {@code WinLauncher.main} on standard error; this one reads as its message alone, one
 * line without a stack trace, since the trace would only show the library's own frames.
 */
final class LaunchFailure extends RuntimeException {
    private static final long serialVersionUID = 1L;

    LaunchFailure(String message) {
        super(message);
        setStackTrace(new StackTraceElement[0]);
    }

    @Override
    public String toString() {
        return getMessage();
    }
}
