package org.kestro.maven;

import java.util.Locale;

/** The machines the bundled build tool runs on, and which one this is. */
final class Platform {
    static final String LINUX = "linux-x86_64";
    static final String WINDOWS = "windows-x86_64";

    private Platform() {
    }

    /**
     * The bundled tool's platform for a machine as Java names it (os.name, os.arch).
     *
     * @throws IllegalStateException on any other machine, with a message that says how to
     *         use a tool built for it
     */
    static String of(String osName, String osArch) {
        String os = osName.toLowerCase(Locale.ROOT);
        String arch = osArch.toLowerCase(Locale.ROOT);
        boolean x64 = arch.equals("amd64") || arch.equals("x86_64");
        if (x64 && os.equals("linux")) return LINUX;
        if (x64 && os.startsWith("windows")) return WINDOWS;
        throw new IllegalStateException("the kestro tool inside this plugin runs on Linux x86_64 and Windows"
                + " x86_64, not on " + osName + " " + osArch + ". Build kestro for this machine and name the directory"
                + " that holds it (with launcher.exe and the runtime jars beside it) in the plugin's <kestroHome>"
                + " (or -Dkestro.home)");
    }

    /** The file name of the tool on a platform. */
    static String toolName(String platform) {
        return platform.equals(WINDOWS) ? "kestro.exe" : "kestro";
    }
}
