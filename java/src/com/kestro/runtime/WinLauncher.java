package com.kestro.runtime;

import com.kestro.runtime.internal.Launch;

/**
 * The class that a kestro launcher calls once its Java VM is up. It hands the launch to
 * the shared implementation; see {@link Launch#run(String[])} for the arguments.
 */
public final class WinLauncher {
    private WinLauncher() {
    }

    public static void main(String[] args) {
        Launch.run(args);
    }
}
