package com.kestro.runtime.testapps;

import com.velmora.runtime.launcher.FirstRun;

/** Does what a velmora launcher does before main: calls the first-run hook, and prints the result. */
public class FirstRunProbe {
    public static void main(String[] args) {
        boolean goOn = FirstRun.firstRun();
        System.out.print(goOn + " " + System.getProperty("kestro.firstRun"));
    }
}
