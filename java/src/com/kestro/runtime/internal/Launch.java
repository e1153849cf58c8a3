package com.kestro.runtime.internal;

import java.lang.reflect.Method;

/**
 * The body of every flavour's {@code WinLauncher.main}.
 */
public final class Launch {
    /** Arguments before the executable's path: windowed, main class, error log, output log, append. */
    static final int LEADING_ARGUMENTS = 5;

    private Launch() {
    }

    /**
     * Runs the application as the launcher describes it in {@code args}:
     * <ol>
     * <li>"true" for a windowed application, else "false" (accepted, not acted on);</li>
     * <li>the application's main class, dotted;</li>
     * <li>the file for standard error, or "" to leave it alone;</li>
     * <li>the file for standard output, or "";</li>
     * <li>"true" to append to those files, anything else to start them empty;</li>
     * <li>the executable's path as written on the command line (empty when the process was
     * started with an empty command line);</li>
     * <li>the program arguments, handed to the application's main unchanged.</li>
     * </ol>
     * Redirects the standard streams, keeps the temporary directory when the application
     * asks for it (see {@link TempDirKeep}), in single-instance mode starts taking the
     * arguments of later starts, then calls the application's
     * {@code public static void main(String[])}.
     * Whatever that main throws leaves this method unchanged (checked exceptions too). A
     * main class or main method that is missing ends it with a {@link LaunchFailure}, after
     * {@code java}'s own words for it on standard error; too few arguments (a launcher and
     * a library that do not belong together) with an {@link IllegalArgumentException}.
     */
    public static void run(String[] args) {
        int count = args == null ? 0 : args.length;
        if (count < LEADING_ARGUMENTS) {
            throw new IllegalArgumentException("Cannot start the application: the launcher passed " + count
                    + " arguments, at least " + LEADING_ARGUMENTS + " expected");
        }
        StandardStreams.redirect(args[2], args[3], "true".equals(args[4]));
        TempDirKeep.scheduleFromProperties();
        HandoverWatcher.startShared();
        Method main = MainMethod.find(args[1], System.err);
        String[] programArguments = new String[Math.max(0, count - LEADING_ARGUMENTS - 1)];
        System.arraycopy(args, count - programArguments.length, programArguments, 0, programArguments.length);
        MainMethod.invoke(main, programArguments, System.err);
    }
}
