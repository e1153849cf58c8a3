package com.kestro.runtime.internal;

/**
 * A launch that cannot begin: the main class cannot be loaded, or it has no suitable
 * main method. Its text for the user is already on standard error when it is thrown, in
 * the words of the {@code java} command; the launcher only learns which message of its
 * own to show. It reads that through {@link #toString()}, which is fixed here rather than
 * left to the class library, and does not describe the exception again.
 */
final class LaunchFailure extends RuntimeException {
    private static final long serialVersionUID = 1L;

    /** The launcher's message for a main class that cannot be loaded. */
    static final int MAIN_CLASS_NOT_LOADED = 1010;
    /** The launcher's message for a main class without a suitable main method. */
    static final int MAIN_METHOD_NOT_FOUND = 1011;

    /** What the launcher looks for; the message's number follows it. */
    static final String MARK = "com.kestro.runtime.internal.LaunchFailure: ";

    private final int messageId;

    LaunchFailure(int messageId, String printed) {
        super(printed);
        this.messageId = messageId;
        // The library's own frames would tell the user nothing.
        setStackTrace(new StackTraceElement[0]);
    }

    int messageId() {
        return messageId;
    }

    @Override
    public String toString() {
        return MARK + messageId;
    }
}
