package com.velmora.runtime.launcher;

import com.kestro.runtime.internal.Launch;

/**
 * The class that a launcher of a velmora installation calls once its Java VM is up. It
 * hands the launch to the shared implementation; see {@link Launch#run(String[])}.
 */
public final class WinLauncher {
    private WinLauncher() {
    }

    public static void main(String[] args) {
        Launch.run(args);
    }
}
